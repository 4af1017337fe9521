#include "exportleftovers.h"
#include "fakeoffice.h"
#include "fileconversion.h"
#include "officeerror.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>

class FileConversionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void callsTheOfficeInOrder();
    void unloadableFileNamesTheFile();
    void stepsAfterAFailedLoadFailClearly();
    void failedStepLeavesNoObjectOfThePreviousFile();
    void exportCheck_data();
    void exportCheck();
    void failedExportLeavesNoOfficeFile_data();
    void failedExportLeavesNoOfficeFile();
    void temporaryNamesOfAnOffice_data();
    void temporaryNamesOfAnOffice();
    void failedStepClosesTheDocument_data();
    void failedStepClosesTheDocument();

private:
    QTemporaryDir dir_;
    FakeOffice office_;
};

void FileConversionTest::init()
{
    office_ = FakeOffice();
}

void FileConversionTest::callsTheOfficeInOrder()
{
    const QString source = dir_.filePath("In/Q1 #1.ods");
    const QString output = dir_.filePath("Q1 #1.pdf");
    ConvertFile(office_, source, output);
    const QString sourceUrl = "file://" + dir_.path() + "/In/Q1 %231.ods";
    const QStringList expected{
        "createServiceManager",
        "createInstance serviceManager#1 com.sun.star.frame.Desktop",
        "loadComponentFromURL Desktop#2 " + sourceUrl + " _blank 0 Hidden",
        "supportsService document#3 com.sun.star.sheet.SpreadsheetDocument",
        "createInstance serviceManager#1 com.sun.star.frame.DispatchHelper",
        "getCurrentController document#3",
        "getFrame controller#5",
        "executeDispatch DispatchHelper#4 frame#6 .uno:ExportToPDF '' 0 URL,FilterName,FilterData",
        "close document#3 1",
        "release document#3",
        "release frame#6",
        "release controller#5",
        "release DispatchHelper#4",
        "release Desktop#2",
        "release serviceManager#1",
    };
    QCOMPARE(office_.calls, expected);
    QVERIFY(QFileInfo(output).size() > 0);
}

void FileConversionTest::unloadableFileNamesTheFile()
{
    const QString source = dir_.filePath("broken.ods");
    office_.unloadableUrls.insert("file://" + source);
    FileConversion file(office_);
    file.createServiceManager();
    file.createDesktop();
    try {
        file.load(source);
        QFAIL("a load that returns nothing must raise");
    } catch (const OfficeError& e) {
        QVERIFY(e.description().contains(source));
        QVERIFY(e.description().contains("damaged, password-protected or not a spreadsheet"));
    }
}

void FileConversionTest::stepsAfterAFailedLoadFailClearly()
{
    const QString source = dir_.filePath("broken.ods");
    office_.unloadableUrls.insert("file://" + source);
    FileConversion file(office_);
    file.createServiceManager();
    file.createDesktop();
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.load(source));
    file.createDispatchHelper();

    const std::pair<const char*, std::function<void()>> later[] = {
        {"document", [&] { file.getController(); }},
        {"document controller", [&] { file.getFrame(); }},
        {"document frame", [&] { file.dispatch(dir_.filePath("broken.pdf")); }},
        {"document", [&] { file.close(); }},
    };
    for (const auto& [missing, step] : later) {
        try {
            step();
            QFAIL("the step must fail");
        } catch (const OfficeError& e) {
            QCOMPARE(
                e.description(),
                QString("There is no %1 to work with: it could not be obtained.").arg(missing));
        }
    }
    QVERIFY(!QFileInfo::exists(dir_.filePath("broken.pdf")));
}

void FileConversionTest::failedStepLeavesNoObjectOfThePreviousFile()
{
    FileConversion file(office_);
    file.createServiceManager();
    file.createDesktop();
    file.load(dir_.filePath("a.ods"));
    // The second file: the service manager cannot be made, so the desktop
    // step must not reach the first file's service manager.
    office_.failing.insert("createServiceManager");
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.createServiceManager());
    office_.calls.clear();
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.createDesktop());
    QCOMPARE(office_.calls, QStringList{"createInstance none com.sun.star.frame.Desktop"});
}

void FileConversionTest::exportCheck_data()
{
    // The export writes a temporary file and renames it over the PDF, or
    // writes in place. File times are set by other clocks (a network share)
    // or in 2-second steps (FAT), so the verdict must come from the file alone.
    QTest::addColumn<QString>("existing"); // content of the PDF before the export, or none
    QTest::addColumn<QString>("written");  // what the export writes; "-" for nothing
    // Seconds from the old file's time (or from now) to the new file's time.
    QTest::addColumn<int>("timeShift");
    QTest::addColumn<bool>("viaRename"); // a new file renamed over the PDF
    QTest::addColumn<bool>("ok");
    QTest::newRow("new file") << QString() << "%PDF" << 0 << true << true;
    QTest::newRow("new file, its time an hour behind ours")
        << QString() << "%PDF" << -3600 << true << true;
    QTest::newRow("nothing written") << QString() << "-" << 0 << false << false;
    QTest::newRow("empty file written") << QString() << "" << 0 << true << false;
    QTest::newRow("old file left alone") << "%PDF old"
                                         << "-" << 0 << false << false;
    QTest::newRow("old file replaced") << "%PDF old"
                                       << "%PDF new" << 3600 << false << true;
    QTest::newRow("replaced in place, size changed, same time")
        << "%PDF old"
        << "%PDF longer" << 0 << false << true;
    QTest::newRow("replaced by rename, same size and time") << "%PDF old"
                                                            << "%PDF new" << 0 << true << true;
    QTest::newRow("replaced by an older file") << "%PDF old"
                                               << "%PDF new" << -7200 << true << true;
}

void FileConversionTest::exportCheck()
{
    QFETCH(QString, existing);
    QFETCH(QString, written);
    QFETCH(int, timeShift);
    QFETCH(bool, viaRename);
    QFETCH(bool, ok);
    const QString output = dir_.filePath(QStringLiteral("out-%1.pdf").arg(QTest::currentDataTag()));
    const QDateTime oldTime = QDateTime::currentDateTime().addSecs(-3600);
    const auto writeFile = [](const QString& path, const QString& content, const QDateTime& time) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content.toUtf8());
        f.flush();
        QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
    };
    if (!existing.isNull())
        writeFile(output, existing, oldTime);
    office_.exportAction = [&](const QString& path) {
        QCOMPARE(path, output);
        if (written == "-")
            return;
        const QDateTime time =
            (existing.isNull() ? QDateTime::currentDateTime() : oldTime).addSecs(timeShift);
        const QString target = viaRename ? path + ".tmp" : path;
        writeFile(target, written, time);
        if (viaRename)
            QVERIFY(std::rename(QFile::encodeName(target), QFile::encodeName(path)) == 0);
    };
    FileConversion file(office_);
    file.createServiceManager();
    file.createDesktop();
    file.load(dir_.filePath("a.ods"));
    file.createDispatchHelper();
    file.getController();
    file.getFrame();
    file.makeUrlRecord(output);
    file.makeFilterNameRecord();
    file.makeFilterDataRecord();
    try {
        file.dispatch(output);
        QVERIFY(ok);
    } catch (const OfficeError& e) {
        QVERIFY(!ok);
        QCOMPARE(e.description(), "The PDF file was not written: " + output);
    }
}

void FileConversionTest::failedExportLeavesNoOfficeFile_data()
{
    QTest::addColumn<QStringList>("before");  // files in the output folder before the export
    QTest::addColumn<QStringList>("created"); // files the export creates there
    QTest::addColumn<QString>("outcome");     // "killed", "nothing written" or "written"
    QTest::addColumn<QStringList>("after");
    // The office's id is 8812.
    const QStringList old{"lu8812old.tmp", "notes.txt"};
    QTest::newRow("killed export") << old << QStringList{"lu8812xk2.tmp"} << "killed" << old;
    QTest::newRow("export that wrote nothing")
        << QStringList{} << QStringList{"lu88127a.tmp"} << "nothing written" << QStringList{};
    const QStringList others{"lu8813xk2.tmp", "lu.tmp",          "lu8812.tmp",      "LU8812a.tmp",
                             "xlu8812a.tmp",  "lu8812a.tmp.pdf", ".~lock.out.pdf#", "draft.pdf"};
    QTest::newRow("other new files stay") << QStringList{} << others << "killed" << others;
    QTest::newRow("a good export touches nothing")
        << QStringList{} << QStringList{"lu8812a.tmp"} << "written"
        << QStringList{"lu8812a.tmp", "out.pdf"};
}

void FileConversionTest::failedExportLeavesNoOfficeFile()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, created);
    QFETCH(QString, outcome);
    QFETCH(QStringList, after);
    QTemporaryDir out;
    const auto touch = [&](const QString& name) {
        QFile f(out.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    };
    for (const QString& name : before)
        touch(name);
    office_.pid = 8812;
    office_.exportAction = [&](const QString& path) {
        for (const QString& name : created)
            touch(name);
        if (outcome == "killed")
            throw OfficeHungError("The office suite stopped responding and was restarted");
        if (outcome == "written")
            FakeOffice::writeFakePdf(path);
    };
    try {
        ConvertFile(office_, dir_.filePath("a.ods"), out.filePath("out.pdf"));
        QCOMPARE(outcome, QString("written"));
    } catch (const OfficeError&) {
        QVERIFY(outcome != "written");
    }
    QDir dir(out.path());
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    names.sort();
    after.sort();
    QCOMPARE(names, after);
}

void FileConversionTest::temporaryNamesOfAnOffice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<qint64>>("otherOffices");
    QTest::addColumn<bool>("ours"); // made by office 24607
    QTest::newRow("ours") << "lu24607139bl.tmp" << QList<qint64>{} << true;
    QTest::newRow("ours, beside other offices")
        << "lu24607139bl.tmp" << QList<qint64>{24608, 2461} << true;
    QTest::newRow("another office's") << "lu24608139bl.tmp" << QList<qint64>{24608} << false;
    QTest::newRow("may be of an office with a longer id")
        << "lu24607139bl.tmp" << QList<qint64>{246071} << false;
    QTest::newRow("may be of an office with a shorter id")
        << "lu24607abc.tmp" << QList<qint64>{2460} << false;
    QTest::newRow("no counter") << "lu24607.tmp" << QList<qint64>{} << false;
}

void FileConversionTest::temporaryNamesOfAnOffice()
{
    QFETCH(QString, name);
    QFETCH(QList<qint64>, otherOffices);
    QFETCH(bool, ours);
    const auto isOffice = [&](qint64 pid) { return pid == 24607 || otherOffices.contains(pid); };
    QCOMPARE(ExportLeftovers::madeBy(name, 24607, isOffice), ours);
}

void FileConversionTest::failedStepClosesTheDocument_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("dispatch helper") << "createInstance com.sun.star.frame.DispatchHelper";
    QTest::newRow("controller") << "getCurrentController";
    QTest::newRow("frame") << "getFrame";
    QTest::newRow("export") << "executeDispatch";
}

void FileConversionTest::failedStepClosesTheDocument()
{
    // After a killed export the document is gone with its office, so the
    // close fails too; the failed step's error is the one that counts.
    QFETCH(QString, step);
    office_.failing = {step, "close"};
    try {
        ConvertFile(office_, dir_.filePath("a.ods"), dir_.filePath("a.pdf"));
        QFAIL("a failed step must raise");
    } catch (const OfficeError& e) {
        QCOMPARE(e.description(), "scripted failure of " + step);
    }
    QVERIFY(office_.calls.contains("close document#3 1"));
}

QTEST_GUILESS_MAIN(FileConversionTest)
#include "tst_fileconversion.moc"
