#include "apptitle.h"
#include "fakedialogs.h"
#include "officecheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class OfficeCheckTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void missingOfficeAsksAndEnds_data();
    void missingOfficeAsksAndEnds();
    void presentOfficeShowsNothing();
    void locator_data();
    void locator();

private:
    // A program folder with the given files. "soffice.bin" is made
    // executable; "soffice.bin!" is the same file left not executable.
    QString makeProgramDir(const QString& name, const QStringList& files);
    QTemporaryDir dir_;
};

void OfficeCheckTest::initTestCase()
{
    SetApplicationTitle();
}

QString OfficeCheckTest::makeProgramDir(const QString& name, const QStringList& files)
{
    const QString program = dir_.filePath(name + "/program");
    QDir().mkpath(program);
    for (QString file : files) {
        const bool executable = file == "soffice.bin";
        file.remove('!');
        QFile f(program + '/' + file);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    return program;
}

void OfficeCheckTest::missingOfficeAsksAndEnds_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("opensPage");
    QTest::newRow("yes opens the download page") << MessageAnswer::Yes << true;
    QTest::newRow("no opens nothing") << MessageAnswer::No << false;
}

void OfficeCheckTest::missingOfficeAsksAndEnds()
{
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, opensPage);
    FakeDialogs dialogs;
    dialogs.answers.enqueue(answer);
    const auto found =
        CheckOfficeSuite(dialogs, "Open the download page?", {dir_.filePath("nowhere/program")});
    QVERIFY(!found);
    QCOMPARE(dialogs.shown.size(), 1);
    const auto& shown = dialogs.shown.first();
    QCOMPARE(shown.caption, QString("Tarnwick"));
    QCOMPARE(shown.buttons, MessageButtons::YesNo);
    QCOMPARE(shown.icon, MessageIcon::None);
    QCOMPARE(shown.text, QString("Open the download page?"));
    QCOMPARE(dialogs.opened, opensPage ? QList<QUrl>{OfficeDownloadPage} : QList<QUrl>{});
}

void OfficeCheckTest::presentOfficeShowsNothing()
{
    FakeDialogs dialogs;
    const QString program = makeProgramDir("present", {"soffice.bin", "fundamentalrc"});
    const auto found = CheckOfficeSuite(dialogs, "Open the download page?", {program});
    QVERIFY(found);
    QCOMPARE(found->programDir, program);
    QVERIFY(dialogs.shown.isEmpty());
}

void OfficeCheckTest::locator_data()
{
    QTest::addColumn<QStringList>("firstFiles");
    QTest::addColumn<bool>("firstChosen");
    QTest::newRow("complete") << QStringList{"soffice.bin", "fundamentalrc"} << true;
    QTest::newRow("no fundamentalrc") << QStringList{"soffice.bin"} << false;
    QTest::newRow("no program") << QStringList{"fundamentalrc"} << false;
    QTest::newRow("not executable") << QStringList{"fundamentalrc", "soffice.bin!"} << false;
}

void OfficeCheckTest::locator()
{
    QFETCH(QStringList, firstFiles);
    QFETCH(bool, firstChosen);
    const QString first = makeProgramDir(QTest::currentDataTag(), firstFiles);
    const QString second = makeProgramDir(QStringLiteral("second-%1").arg(QTest::currentDataTag()),
                                          {"soffice.bin", "fundamentalrc"});
    const auto found = LocateOffice({dir_.filePath("missing"), first, second});
    QVERIFY(found);
    QCOMPARE(found->programDir, firstChosen ? first : second);
}

QTEST_MAIN(OfficeCheckTest)
#include "tst_officecheck.moc"
