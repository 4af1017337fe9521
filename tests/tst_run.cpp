#include "filelistmodel.h"
#include "outputpath.h"
#include "windowharness.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

// The batch run against the recording office: order, progress, messages,
// re-entry and per-step reports.
class RunTest : public QObject {
    Q_OBJECT

private slots:
    void outputPath_data();
    void outputPath();
    void progressAndDone();
    void refusals_data();
    void refusals();
    void relativeFolderIsInTheHome();
    void secondOption_ignoresTheFolder();
    void clickDuringARunDoesNothing();
    void rowsAddedDuringARunWaitForTheNext();
    void rowRemovedDuringAYieldIsReportedAndSkipped();
    void unloadableFileReportsEachStepAndTheRunGoesOn();
    void missingServiceManagerNeverReachesThePreviousFile();

private:
    struct Run {
        WindowHarness h;
        std::unique_ptr<Form1> w;
        QStringList progress; // "value text" at each change
        QString atDone;       // the bar when "Done." was shown
    };
    std::unique_ptr<Run> startRun(const QStringList& files, bool intoFolder = true,
                                  bool noOption = false);
    static void click(Form1& w) { WindowHarness::child<QPushButton>(w, "PushButton2")->click(); }
};

void RunTest::outputPath_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("output");
    const QChar bs('\\');
    QTest::newRow("two dots, beside") << R"(C:\In\Q1.final.ods)"
                                      << R"(C:\In\)" << bs << R"(C:\In\Q1.final.pdf)";
    QTest::newRow("folder with separator") << R"(C:\In\Q1.final.ods)"
                                           << R"(D:\Out\)" << bs << R"(D:\Out\Q1.final.pdf)";
    QTest::newRow("folder without separator") << R"(C:\In\Q1.final.ods)"
                                              << R"(D:\Out)" << bs << R"(D:\Out\Q1.final.pdf)";
    QTest::newRow("unc keeps two") << R"(\\srv\in\a.ods)"
                                   << R"(\\srv\in\)" << bs << R"(\\srv\in\a.pdf)";
    QTest::newRow("posix no dot") << "/in/README"
                                  << "/out/" << QChar('/') << "/out/README.pdf";
    QTest::newRow("posix leading dot") << "/in/.ods"
                                       << "/out" << QChar('/') << "/out/.ods.pdf";
    QTest::newRow("posix ots") << "/in/x.ots"
                               << "/in/" << QChar('/') << "/in/x.pdf";
}

void RunTest::outputPath()
{
    QFETCH(QString, source);
    QFETCH(QString, folder);
    QFETCH(QChar, sep);
    QFETCH(QString, output);
    QCOMPARE(OutputPathFor(source, folder, sep), output);
}

std::unique_ptr<RunTest::Run> RunTest::startRun(const QStringList& files, bool intoFolder,
                                                bool noOption)
{
    auto run = std::make_unique<Run>();
    if (noOption) {
        run->h.settings.SaveSetting(Setting::Option1, "False");
        run->h.settings.SaveSetting(Setting::Option2, "False");
    }
    run->h.clock.stepMs = 2000; // each pause is over at its second reading
    const QString out = run->h.dir.filePath("out");
    QDir().mkpath(out);
    run->h.desktopFolder = [out] { return out + "/"; };
    run->w = run->h.start();
    if (!intoFolder)
        WindowHarness::child<QRadioButton>(*run->w, "Option2")->click();
    for (const QString& f : files)
        run->w->fileList().AppendFileRow(run->h.dir.filePath(f));
    auto* bar = WindowHarness::child<QProgressBar>(*run->w, "ProgressBar1");
    Run* r = run.get();
    connect(bar, &QProgressBar::valueChanged, bar,
            [r, bar](int v) { r->progress << QString::number(v) + " " + bar->text(); });
    run->h.dialogs.onMessage = [r, bar] {
        if (r->h.dialogs.shown.last().text == "Done.")
            r->atDone = QString::number(bar->value()) + " " + bar->text();
    };
    return run;
}

void RunTest::progressAndDone()
{
    // A name with "%p" in it is shown as it is, not as a percentage.
    auto run = startRun({"a.ods", "b.ods", "c%p.ods", "d.ods"});
    click(*run->w);
    QCOMPARE(run->progress,
             (QStringList{"25 Progress Bar", "50 Processing: a.ods", "75 Processing: b.ods",
                          "100 Processing: c%p.ods", "0 Processing: d.ods"}));
    QCOMPARE(run->atDone, QString("0 Progress Bar"));
    QCOMPARE(run->h.dialogs.texts(), QStringList{"Done."});
    QCOMPARE(run->h.dialogs.shown[0].caption, QString("Tarnwick"));
    QCOMPARE(run->h.dialogs.shown[0].icon, MessageIcon::None);
    QCOMPARE(run->w->pointer(), Pointer::Default);
    QVERIFY(!run->w->conversionRunning());
    for (const char* name : {"a", "b", "c%p", "d"})
        QVERIFY(QFileInfo::exists(run->h.dir.filePath(QString("out/%1.pdf").arg(name))));
    QCOMPARE(run->h.office.office.calls.filter("executeDispatch").size(), 4);
}

void RunTest::refusals_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("noOption"); // neither output option, as stored settings can say
    QTest::addColumn<QString>("message");
    const QString noPlace = "No place for the results is selected. Please choose \"Save results "
                            "to this folder:\" or \"Save results in folder of original file\".";
    QTest::newRow("empty list") << QStringList{} << "out/" << false << "No files added.";
    QTest::newRow("missing folder") << QStringList{"a.ods"} << "missing/" << false
                                    << "Folder does not exist. Please select another folder.";
    QTest::newRow("empty folder text") << QStringList{"a.ods"} << "" << false
                                       << "Folder does not exist. Please select another folder.";
    QTest::newRow("no output option") << QStringList{"a.ods", "b.ods"} << "out/" << true << noPlace;
    QTest::newRow("no output option, missing folder")
        << QStringList{"a.ods"} << "missing/" << true << noPlace;
}

void RunTest::refusals()
{
    QFETCH(QStringList, files);
    QFETCH(QString, folder);
    QFETCH(bool, noOption);
    QFETCH(QString, message);
    auto run = startRun(files, true, noOption);
    auto* text1 = WindowHarness::child<QLineEdit>(*run->w, "Text1");
    text1->setText(folder.isEmpty() ? QString() : run->h.dir.filePath(folder));
    click(*run->w);
    QCOMPARE(run->h.dialogs.texts(), QStringList{message});
    QVERIFY(run->h.office.office.calls.isEmpty());
    QVERIFY(run->progress.isEmpty());
    QCOMPARE(run->w->pointer(), Pointer::Default);
    QVERIFY(!run->w->conversionRunning());

    // A later click starts normally.
    text1->setText(run->h.dir.filePath("out/"));
    WindowHarness::child<QRadioButton>(*run->w, "Option1")->click();
    run->w->fileList().AppendFileRow(run->h.dir.filePath("later.ods"));
    click(*run->w);
    QCOMPARE(run->h.dialogs.texts().last(), QString("Done."));
}

void RunTest::relativeFolderIsInTheHome()
{
    // "out" is tested and written inside the home folder, not inside the
    // working folder, and stays stored as typed.
    auto run = startRun({"a.ods"});
    const QString before = QDir::currentPath();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(run->h.dir.path()));
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    WindowHarness::child<QLineEdit>(*run->w, "Text1")->setText("out");
    click(*run->w);
    QDir::setCurrent(before);
    qputenv("HOME", home);
    QCOMPARE(run->h.dialogs.texts(), QStringList{"Done."});
    QVERIFY(QFileInfo::exists(run->h.dir.filePath("out/a.pdf")));
    QCOMPARE(run->h.settings.GetSetting(Setting::Text1), QString("out"));
}

void RunTest::secondOption_ignoresTheFolder()
{
    auto run = startRun({"in/x.ods"}, false);
    QDir().mkpath(run->h.dir.filePath("in"));
    WindowHarness::child<QLineEdit>(*run->w, "Text1")->setText("/no/such/folder/");
    click(*run->w);
    QCOMPARE(run->h.dialogs.texts(), QStringList{"Done."});
    QVERIFY(QFileInfo::exists(run->h.dir.filePath("in/x.pdf")));
}

void RunTest::clickDuringARunDoesNothing()
{
    auto run = startRun({"a.ods", "b.ods"});
    int inner = 0;
    run->h.office.office.exportAction = [&](const QString& path) {
        FakeOffice::writeFakePdf(path);
        ++inner;
        click(*run->w); // re-entered, as from a yield
    };
    click(*run->w);
    QCOMPARE(inner, 2);
    QCOMPARE(run->h.office.office.calls.filter("createServiceManager").size(), 2);
    QCOMPARE(run->h.dialogs.texts(), QStringList{"Done."});
}

void RunTest::rowsAddedDuringARunWaitForTheNext()
{
    auto run = startRun({"a.ods"});
    run->h.office.office.exportAction = [&](const QString& path) {
        FakeOffice::writeFakePdf(path);
        if (run->w->fileList().count() == 1)
            run->w->fileList().AppendFileRow(run->h.dir.filePath("late.ods"));
    };
    click(*run->w);
    QCOMPARE(run->h.office.office.calls.filter("loadComponentFromURL").size(), 1);
    QCOMPARE(run->w->fileList().count(), 2);
}

void RunTest::rowRemovedDuringAYieldIsReportedAndSkipped()
{
    auto run = startRun({"a.ods", "b.ods", "c.ods"});
    // At the first file's first yield, before the hourglass, two rows go.
    QTimer::singleShot(0, run->w.get(), [&] {
        run->w->fileList().removeAt(3);
        run->w->fileList().removeAt(2);
    });
    click(*run->w);
    const QStringList texts = run->h.dialogs.texts();
    QCOMPARE(texts.size(), 3);
    for (int i = 0; i < 2; ++i)
        QCOMPARE(texts[i].section("\r\r", 0, 0),
                 QString("Index out of bounds\r\nin Brenlow2021/08/31.Form1.PushButton2_Click at "
                         "line 110"));
    QCOMPARE(texts[2], QString("Done."));
    QCOMPARE(run->h.office.office.calls.filter("loadComponentFromURL").size(), 1);
}

void RunTest::unloadableFileReportsEachStepAndTheRunGoesOn()
{
    auto run = startRun({"good1.ods", "broken.ods", "good2.ods"});
    run->h.office.office.unloadableUrls.insert("file://" + run->h.dir.filePath("broken.ods"));
    click(*run->w);
    QStringList lines;
    for (const QString& text : run->h.dialogs.texts())
        lines << (text == "Done." ? text : text.section("at line ", 1).section("\r", 0, 0));
    QCOMPARE(lines, (QStringList{"134", "138", "140", "152", "160", "Done."}));
    QVERIFY(run->h.dialogs.texts()[0].startsWith("The file could not be opened: " +
                                                 run->h.dir.filePath("broken.ods")));
    QVERIFY(QFileInfo::exists(run->h.dir.filePath("out/good1.pdf")));
    QVERIFY(QFileInfo::exists(run->h.dir.filePath("out/good2.pdf")));
    QVERIFY(!QFileInfo::exists(run->h.dir.filePath("out/broken.pdf")));
}

void RunTest::missingServiceManagerNeverReachesThePreviousFile()
{
    auto run = startRun({"a.ods", "b.ods"});
    FakeOffice& office = run->h.office.office;
    office.exportAction = [&](const QString& path) {
        FakeOffice::writeFakePdf(path);
        office.failing.insert("createServiceManager"); // from the second file on
    };
    click(*run->w);
    QStringList lines;
    for (const QString& text : run->h.dialogs.texts())
        lines << (text == "Done." ? text : text.section("at line ", 1).section("\r", 0, 0));
    QCOMPARE(lines, (QStringList{"130", "132", "134", "136", "138", "140", "152", "160", "Done."}));
    // Every object call of the second file worked with no object.
    const QStringList second = office.calls.mid(office.calls.lastIndexOf("createServiceManager"));
    QCOMPARE(second.filter("#").filter(QRegularExpression("^(createInstance|loadComponent|"
                                                          "getCurrent|getFrame|executeDispatch|"
                                                          "close)")),
             QStringList{});
}

QTEST_MAIN(RunTest)
#include "tst_run.moc"
