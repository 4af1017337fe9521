#include "errorreport.h"
#include "errors.h"
#include "fakedialogs.h"
#include "guard.h"

#include <QTest>

#include <stdexcept>

namespace {
// Guarded procedures' locations, as the window's reports name them.
const QString StartClick = QStringLiteral("in Brenlow2021/08/31.Form1.PushButton2_Click ");
const QString FormLoad = QStringLiteral("in Brenlow2021/08/31.Form1.Form_Load ");
const QString SamplesClick = QStringLiteral("in Brenlow2021/08/31.Form1.PushButton9_Click ");
const QString AddFilesClick = QStringLiteral("in Brenlow2021/08/31.Form1.PushButton1_Click ");
} // namespace

class GuardTest : public QObject {
    Q_OBJECT

private slots:
    void reportText_data();
    void reportText();
    void failingLineReportsAndGoesOn();
    void failingTestEntersTheGuardedBlock();
    void errorInsideACallNamesTheCallingLine();
    void handledErrorsShowNoReport();
};

void GuardTest::reportText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("start button")
        << "Boom" << 104
        << "Boom\r\nin Brenlow2021/08/31.Form1.PushButton2_Click at line 104\r\r"
           "Please email screenshot of this message to support@tarnwick.example";
    QTest::newRow("empty description")
        << "" << 100
        << "\r\nin Brenlow2021/08/31.Form1.PushButton2_Click at line 100\r\r"
           "Please email screenshot of this message to support@tarnwick.example";
}

void GuardTest::reportText()
{
    QFETCH(QString, description);
    QFETCH(int, line);
    QFETCH(QString, text);
    FakeDialogs dialogs;
    Guard g(dialogs, StartClick);
    QVERIFY(!g.line(line, [&] { throw TarnwickError(description); }));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].text, text);
    QCOMPARE(dialogs.shown[0].caption, QString("Application Error"));
    QCOMPARE(dialogs.shown[0].buttons, MessageButtons::Ok);
    QCOMPARE(dialogs.shown[0].icon, MessageIcon::Warning);
}

void GuardTest::failingLineReportsAndGoesOn()
{
    FakeDialogs dialogs;
    Guard g(dialogs, FormLoad);
    QStringList ran;
    g.line(100, [&] { ran << "100"; });
    g.line(102, [&] { throw std::runtime_error("first"); });
    g.line(104, [&] { ran << "104"; });
    g.line(106, [&] { throw std::invalid_argument("second"); });
    g.line(108, [&] { throw 42; });
    g.line(110, [&] { ran << "110"; });
    QCOMPARE(ran, (QStringList{"100", "104", "110"}));
    QCOMPARE(dialogs.shown.size(), 3);
    QVERIFY(dialogs.shown[0].text.startsWith(
        "first\r\nin Brenlow2021/08/31.Form1.Form_Load at line 102"));
    QVERIFY(dialogs.shown[1].text.startsWith("second\r\n"));
    QVERIFY(dialogs.shown[2].text.startsWith("Unknown error\r\n"));
}

void GuardTest::failingTestEntersTheGuardedBlock()
{
    FakeDialogs dialogs;
    Guard g(dialogs, FormLoad);
    bool entered = false;
    if (g.test(142, [&]() -> bool { throw TarnwickError("bad test"); }))
        entered = true;
    QVERIFY(entered);
    QVERIFY(!g.test(144, [] { return false; }));
    QCOMPARE(dialogs.shown.size(), 1);
    QVERIFY(dialogs.shown[0].text.contains("at line 142"));
}

void GuardTest::errorInsideACallNamesTheCallingLine()
{
    FakeDialogs dialogs;
    Guard g(dialogs, SamplesClick);
    QStringList ran;
    auto helper = [&] {
        ran << "helper start";
        throw TarnwickError("deep");
        ran << "helper end"; // abandoned
    };
    g.line(100, [&] {
        helper();
        ran << "after helper, same line"; // abandoned too
    });
    g.line(102, [&] { ran << "102"; });
    QCOMPARE(ran, (QStringList{"helper start", "102"}));
    QCOMPARE(dialogs.shown[0].text.section("\r\n", 1).section("\r", 0, 0),
             QString("in Brenlow2021/08/31.Form1.PushButton9_Click at line 100"));
}

void GuardTest::handledErrorsShowNoReport()
{
    FakeDialogs dialogs;
    Guard g(dialogs, AddFilesClick);
    CaughtError caught;
    const auto bufferError = [](const CaughtError& e) {
        return e.number == FileNameBufferTooSmall;
    };
    QVERIFY(!g.line(
        100, [] { throw TarnwickError("too small", FileNameBufferTooSmall); }, bufferError,
        caught));
    QCOMPARE(caught.number, FileNameBufferTooSmall);
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(!g.line(
        102, [] { throw TarnwickError("other", 5); }, bufferError, caught));
    QCOMPARE(dialogs.shown.size(), 1);
}

QTEST_GUILESS_MAIN(GuardTest)
#include "tst_guard.moc"
