#include "filelistmodel.h"
#include "officeerror.h"
#include "officelink.h"
#include "officemissingmessage.h"
#include "windowharness.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
QRadioButton* radio(Form1& w, const char* name)
{
    return WindowHarness::child<QRadioButton>(w, name);
}
QLineEdit* text1(Form1& w)
{
    return WindowHarness::child<QLineEdit>(w, "Text1");
}
QFrame* frame4(Form1& w)
{
    return WindowHarness::child<QFrame>(w, "Frame4");
}

// A desktop's dark colour scheme: light text on dark grounds.
QPalette darkScheme()
{
    QPalette p;
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase})
        p.setColor(role, QColor(0x2a, 0x2a, 0x2e));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                      QPalette::BrightText, QPalette::PlaceholderText})
        p.setColor(role, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    return p;
}

// The contrast ratio of two colours, 1 (none) to 21 (black on white).
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QString accessibleText(QWidget* widget, QAccessible::Text kind)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(kind) : QString("(no interface)");
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartThenRestart();
    void layoutAndLook();
    void storedOptionsRestore_data();
    void storedOptionsRestore();
    void unknownDesktopIsReportedAtLine136();
    void unusableOfficeProfileIsReported();
    void missingOfficeEndsBeforeTheWindowShows_data();
    void missingOfficeEndsBeforeTheWindowShows();
    void removal_data();
    void removal();
    void radiosStoreAndSwitchTheFolderControls();
    void browseForOutputFolder_data();
    void browseForOutputFolder();
    void unwritableSettingsWarnOnce();
    void filesBesideTheProgram_data();
    void filesBesideTheProgram();
    void darkSchemeChangesNothing();
    void readableUnderADarkScheme_data();
    void readableUnderADarkScheme();
    void keyboard_data();
    void keyboard();
    void screenReaderNames_data();
    void screenReaderNames();
    void progressBarIsNamedAfterItsText();
};

void MainWindowTest::firstStartThenRestart()
{
    WindowHarness h;
    {
        auto w = h.start();
        QVERIFY(h.loaded);
        QVERIFY(h.dialogs.shown.isEmpty());
        QCOMPARE(w->windowTitle(), QString("Tarnwick"));
        QCOMPARE(text1(*w)->text(), QString("/home/ann/Desktop/"));
        QVERIFY(radio(*w, "Option1")->isChecked());
        QVERIFY(frame4(*w)->isEnabled());
        // The start-up fill counts as a change: it is stored at once.
        QCOMPARE(h.settings.GetSetting(Setting::Text1, "absent"), QString("/home/ann/Desktop/"));
        QCOMPARE(h.settings.GetSetting(Setting::Option1, "absent"), QString("True"));
        QCOMPARE(h.settings.GetSetting(Setting::Option2, "absent"), QString("False"));
        QCOMPARE(h.office.checks, 1);

        text1(*w)->clear();
        QTest::keyClicks(text1(*w), "/srv/out/");
        radio(*w, "Option2")->click();
    }
    auto again = h.start();
    QCOMPARE(text1(*again)->text(), QString("/srv/out/"));
    QVERIFY(radio(*again, "Option2")->isChecked());
    QVERIFY(!radio(*again, "Option1")->isChecked());
    QVERIFY(!frame4(*again)->isEnabled());
}

void MainWindowTest::layoutAndLook()
{
    WindowHarness h;
    auto w = h.start();
    w->fileList().AppendFileRow("/home/ann/Documents/Budget 2026.ods");
    if (qEnvironmentVariableIsSet("TW_SCREENSHOT"))
        w->grab().save(qEnvironmentVariable("TW_SCREENSHOT"));
    QCOMPARE(w->size(), QSize(536, 446));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::white));
    auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");
    QCOMPARE(list->geometry(), QRect(8, 8, 520, 169));
    QCOMPARE(list->model()->columnCount(), 1);
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(),
             QString("OpenOffice Calc Files"));
    QCOMPARE(list->columnWidth(0), 467);
    QCOMPARE(WindowHarness::child<QPushButton>(*w, "PushButton2")->geometry(),
             QRect(8, 376, 520, 27));
    QCOMPARE(text1(*w)->geometry(), QRect(16, 20, 378, 23));
    QCOMPARE(text1(*w)->parentWidget(), frame4(*w));
    QCOMPARE(WindowHarness::child<QProgressBar>(*w, "ProgressBar1")->text(),
             QString("Progress Bar"));
    const QFont buttonFont = WindowHarness::child<QPushButton>(*w, "PushButton1")->font();
    QCOMPARE(buttonFont.family(), QString("Arial"));
    QCOMPARE(buttonFont.pointSizeF(), 11.25);
    QVERIFY(buttonFont.bold());
    QCOMPARE(w->font().pointSizeF(), 9.0);
    // Tab order: the list, the buttons, then the output controls.
    QStringList order;
    for (QWidget* next = w->nextInFocusChain(); next != w.get(); next = next->nextInFocusChain())
        if (!next->objectName().isEmpty() && !next->objectName().startsWith("qt_"))
            order << next->objectName();
    QCOMPARE(order.mid(0, 13),
             (QStringList{"ListView1", "ProgressBar1", "PushButton1", "PushButton4", "PushButton2",
                          "PushButton8", "PushButton9", "Frame3", "Frame4", "Text1", "PushButton3",
                          "Option1", "Option2"}));
}

void MainWindowTest::storedOptionsRestore_data()
{
    QTest::addColumn<QString>("option1");
    QTest::addColumn<QString>("option2");
    QTest::addColumn<bool>("checked1");
    QTest::addColumn<bool>("checked2");
    QTest::addColumn<int>("reportedLine"); // 0 for none
    QTest::newRow("second option") << "False"
                                   << "True" << false << true << 0;
    QTest::newRow("numeric defaults") << "1"
                                      << "0" << true << false << 0;
    QTest::newRow("any letter case") << "tRUE"
                                     << "false" << true << false << 0;
    QTest::newRow("both false") << "False"
                                << "False" << false << false << 0;
    QTest::newRow("first unreadable") << "maybe"
                                      << "0" << true << false << 138;
    QTest::newRow("second unreadable") << "0"
                                       << "maybe" << false << false << 140;
}

void MainWindowTest::storedOptionsRestore()
{
    QFETCH(QString, option1);
    QFETCH(QString, option2);
    QFETCH(bool, checked1);
    QFETCH(bool, checked2);
    QFETCH(int, reportedLine);
    WindowHarness h;
    h.settings.SaveSetting(Setting::Option1, option1);
    h.settings.SaveSetting(Setting::Option2, option2);
    auto w = h.start();
    QCOMPARE(radio(*w, "Option1")->isChecked(), checked1);
    QCOMPARE(radio(*w, "Option2")->isChecked(), checked2);
    QCOMPARE(frame4(*w)->isEnabled(), checked1);
    if (reportedLine) {
        QCOMPARE(h.dialogs.shown.size(), 1);
        QCOMPARE(h.dialogs.shown[0].text,
                 QString("Type mismatch\r\nin Brenlow2021/08/31.Form1.Form_Load at line %1\r\r"
                         "Please email screenshot of this message to support@tarnwick.example")
                     .arg(reportedLine));
    } else {
        QVERIFY(h.dialogs.shown.isEmpty());
    }
}

void MainWindowTest::unknownDesktopIsReportedAtLine136()
{
    WindowHarness h;
    h.settings.SaveSetting(Setting::Text1, "/stored/");
    h.desktopFolder = []() -> QString {
        throw std::invalid_argument("Invalid procedure call or argument");
    };
    auto w = h.start();
    QVERIFY(h.loaded);
    QCOMPARE(h.dialogs.texts(),
             QStringList{"Invalid procedure call or argument\r\nin "
                         "Brenlow2021/08/31.Form1.Form_Load at line 136\r\rPlease email "
                         "screenshot of this message to support@tarnwick.example"});
    QCOMPARE(text1(*w)->text(), QString());
    // The later lines still ran.
    QVERIFY(radio(*w, "Option1")->isChecked());
    QCOMPARE(h.office.checks, 1);
}

void MainWindowTest::unusableOfficeProfileIsReported()
{
    // A file where the profile folder should be: the window still opens, the
    // load step reports line 148 once the window is on the screen, and a run
    // attempts each file, which is told why.
    WindowHarness h;
    QFile blocker(h.dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UnoOfficeLink office(DefaultOfficeProgramDirs(), h.dir.filePath("blocker/profiles"));
    h.link = &office;
    auto w = h.start();
    QVERIFY(h.loaded);
    QCOMPARE(h.dialogs.texts().size(), 0);
    w->show();
    QTRY_COMPARE(h.dialogs.texts().size(), 1);
    QVERIFY(h.dialogs.texts()[0].startsWith("The office profile folder cannot be used: "));
    QVERIFY(h.dialogs.texts()[0].contains("Form_Load at line 148"));

    h.dialogs.shown.clear();
    w->fileList().AppendFileRow(h.dir.filePath("one.ods"));
    w->fileList().AppendFileRow(h.dir.filePath("two.ods"));
    radio(*w, "Option2")->click();
    h.clock.stepMs = 2000; // the pause after each export is not waited for
    WindowHarness::child<QPushButton>(*w, "PushButton2")->click();
    QStringList lines;
    for (const QString& text : h.dialogs.texts())
        lines << text.section("at line ", 1).section('\r', 0, 0);
    const QStringList perFile{"130", "132", "134", "136", "138", "140", "152", "160"};
    QCOMPARE(lines, perFile + perFile + QStringList{""});
    QVERIFY(h.dialogs.texts()[0].startsWith("The office profile folder cannot be used: "));
    QVERIFY(h.dialogs.texts()[8].startsWith("The office profile folder cannot be used: "));
    QCOMPARE(h.dialogs.texts().last(), QString("Done."));
}

void MainWindowTest::missingOfficeEndsBeforeTheWindowShows_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("yes") << MessageAnswer::Yes;
    QTest::newRow("no") << MessageAnswer::No;
}

void MainWindowTest::missingOfficeEndsBeforeTheWindowShows()
{
    QFETCH(MessageAnswer, answer);
    WindowHarness h;
    UnoOfficeLink noOffice({h.dir.filePath("no-office/program")}, h.dir.filePath("profiles"), {},
                           {}, OfficeMissingMessage());
    h.dialogs.answers.enqueue(answer);
    AppServices services{h.dialogs, h.settings,   h.clock,
                         noOffice,  h.programDir, [] { return QStringLiteral("/d/"); },
                         [] {}};
    Form1 w(services);
    QVERIFY(!w.Form_Load());
    QVERIFY(!w.isVisible());
    QCOMPARE(h.dialogs.shown.size(), 1);
    QCOMPARE(h.dialogs.shown[0].text,
             QString("Error 214878392\r\n\r\nOpenOffice is required to run this software. It is "
                     "not installed on this computer.\r\rWoud you like to open this site now?"
                     "\r\n\r\n(If you think this error is a mistake and you have OpenOffice "
                     "installed, please email a screenshot of this error message and a screenshot "
                     "of the OpenOffice 'About' window to support@tarnwick.example)"));
    QCOMPARE(h.dialogs.opened.size(), answer == MessageAnswer::Yes ? 1 : 0);
}

void MainWindowTest::removal_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("selected"); // 1-based, 0 for none
    QTest::addColumn<QStringList>("remaining");
    const QStringList abc{"/a.ods", "/b.ods", "/c.ods"};
    QTest::newRow("delete key") << false << "delete" << 3 << 2 << QStringList{"/a.ods", "/c.ods"};
    QTest::newRow("double-click") << false << "double" << 3 << 3 << QStringList{"/a.ods", "/b.ods"};
    QTest::newRow("clear") << false << "clear" << 3 << 1 << QStringList{};
    QTest::newRow("last row") << false << "delete" << 1 << 1 << QStringList{};
    QTest::newRow("none selected") << false << "delete" << 3 << 0 << abc;
    QTest::newRow("backspace") << false << "backspace" << 3 << 2 << abc;
    QTest::newRow("empty list") << false << "delete" << 0 << 0 << QStringList{};
    QTest::newRow("empty clear") << false << "clear" << 0 << 0 << QStringList{};
    QTest::newRow("busy delete") << true << "delete" << 3 << 2 << abc;
    QTest::newRow("busy double-click") << true << "double" << 3 << 2 << abc;
    QTest::newRow("busy clear") << true << "clear" << 3 << 2 << abc;
}

void MainWindowTest::removal()
{
    QFETCH(bool, busy);
    QFETCH(QString, action);
    QFETCH(int, rows);
    QFETCH(int, selected);
    QFETCH(QStringList, remaining);
    WindowHarness h;
    auto w = h.start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    for (const QString& path : QStringList{"/a.ods", "/b.ods", "/c.ods"}.mid(0, rows))
        w->fileList().AppendFileRow(path);
    auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");
    if (selected)
        list->setCurrentIndex(list->model()->index(selected - 1, 0));
    if (busy)
        w->setPointer(Pointer::Busy);

    if (action == "delete")
        QTest::keyClick(list, Qt::Key_Delete);
    else if (action == "backspace")
        QTest::keyClick(list, Qt::Key_Backspace);
    else if (action == "double")
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualRect(list->model()->index(selected - 1, 0)).center());
    else
        WindowHarness::child<QPushButton>(*w, "PushButton8")->click();

    QCOMPARE(WindowHarness::rows(*w), remaining);
    QVERIFY(h.dialogs.shown.isEmpty());
}

void MainWindowTest::radiosStoreAndSwitchTheFolderControls()
{
    WindowHarness h;
    auto w = h.start();
    text1(*w)->setText("/kept/");
    radio(*w, "Option2")->click();
    QVERIFY(!frame4(*w)->isEnabled());
    QVERIFY(!WindowHarness::child<QPushButton>(*w, "PushButton3")->isEnabled());
    QCOMPARE(text1(*w)->text(), QString("/kept/"));
    QCOMPARE(h.settings.GetSetting(Setting::Option1, ""), QString("False"));
    QCOMPARE(h.settings.GetSetting(Setting::Option2, ""), QString("True"));
    radio(*w, "Option1")->click();
    QVERIFY(frame4(*w)->isEnabled());
    QCOMPARE(h.settings.GetSetting(Setting::Option1, ""), QString("True"));
    QCOMPARE(h.settings.GetSetting(Setting::Option2, ""), QString("False"));
}

void MainWindowTest::browseForOutputFolder_data()
{
    QTest::addColumn<QString>("chosen");     // what the folder browser answers
    QTest::addColumn<QString>("text");       // Text1 afterwards
    QTest::addColumn<QString>("lastFolder"); // LastFolderDot afterwards
    QTest::newRow("folder") << "/data/out"
                            << "/data/out/"
                            << "/data/out";
    QTest::newRow("root") << "/"
                          << "/"
                          << "/";
    QTest::newRow("cancel") << ""
                            << "/home/ann/Desktop/"
                            << "/previous";
}

void MainWindowTest::browseForOutputFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, text);
    QFETCH(QString, lastFolder);
    WindowHarness h;
    h.settings.SaveSetting(Setting::LastFolderDot, "/previous");
    auto w = h.start();
    h.dialogs.folders.enqueue(chosen);
    WindowHarness::child<QPushButton>(*w, "PushButton3")->click();
    QCOMPARE(h.dialogs.browsed.size(), 1);
    QCOMPARE(h.dialogs.browsed[0].prompt, QString("Please select folder:"));
    QCOMPARE(h.dialogs.browsed[0].defaultText, QString("/previous"));
    QCOMPARE(text1(*w)->text(), text);
    QCOMPARE(h.settings.GetSetting(Setting::Text1, ""), text);
    QCOMPARE(h.settings.GetSetting(Setting::LastFolderDot, ""), lastFolder);
}

void MainWindowTest::unwritableSettingsWarnOnce()
{
    WindowHarness h;
    QFile blocker(h.dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore broken(h.dir.filePath("blocker/Tarnwick.conf"));
    AppServices services{h.dialogs, broken,       h.clock,
                         h.office,  h.programDir, [] { return QStringLiteral("/d/"); },
                         [] {}};
    Form1 w(services);
    QVERIFY(w.Form_Load());
    QTest::keyClicks(text1(w), "abc");
    radio(w, "Option2")->click();
    // The guarded sample record reports at its lines; the handlers that have
    // no report of their own warn once.
    QList<FakeDialogs::Shown> warnings;
    for (const auto& shown : h.dialogs.shown)
        if (shown.caption != "Application Error")
            warnings << shown;
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings[0].text.contains("could not be saved"));
    QCOMPARE(warnings[0].icon, MessageIcon::None);
    QVERIFY(!frame4(w)->isEnabled()); // the choice still applies
}

void MainWindowTest::filesBesideTheProgram_data()
{
    QTest::addColumn<QString>("cursor"); // "", "ours" or "garbage"
    QTest::addColumn<bool>("skin");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("nothing beside the program") << "" << false << QStringList{};
    QTest::newRow("our hand pointer") << "ours" << false << QStringList{};
    QTest::newRow("damaged pointer file") << "garbage" << false << QStringList{"Invalid picture"};
    QTest::newRow("skin") << "" << true << QStringList{};
}

void MainWindowTest::filesBesideTheProgram()
{
    QFETCH(QString, cursor);
    QFETCH(bool, skin);
    QFETCH(QStringList, reports);
    WindowHarness h;
    const QString cursorFile = h.programDir + "/HAND-M.CUR";
    if (cursor == "ours")
        QVERIFY(QFile::copy(TW_SOURCE_DIR "/pointers/HAND-M.CUR", cursorFile));
    if (cursor == "garbage") {
        QFile f(cursorFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    if (skin) {
        QDir(h.programDir).mkdir("x");
        QFile f(h.programDir + "/x/o.cjs");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("QPushButton { color: navy; }");
    }
    auto w = h.start();
    // The pointer picture is read once the window is on the screen.
    QVERIFY(h.dialogs.texts().isEmpty() && w->handPicture().isNull());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTRY_COMPARE(h.dialogs.texts().size(), reports.size());
    QTRY_COMPARE(w->handPicture().isNull(), cursor != "ours");
    QStringList shown;
    for (const QString& text : h.dialogs.texts())
        shown << text.section("\r\n", 0, 0);
    QCOMPARE(shown, reports);
    if (!reports.isEmpty())
        QVERIFY(h.dialogs.texts()[0].contains("Form_Load at line 104"));
    if (cursor == "ours")
        QCOMPARE(w->handPicture().size(), QSize(32, 32));
    QCOMPARE(w->styleSheet().isEmpty(), !skin);
    QCOMPARE(w->palette().color(QPalette::Window) == QColor(Qt::white), !skin);
}

void MainWindowTest::darkSchemeChangesNothing()
{
    const QPalette desktop = QApplication::palette();
    WindowHarness h;
    auto w = h.start();
    w->fileList().AppendFileRow("/home/ann/Budget 2026.ods");
    const QImage light = w->grab().toImage();
    QApplication::setPalette(darkScheme());
    const QImage dark = w->grab().toImage();
    auto later = h.start(); // a window made under the dark scheme
    later->fileList().AppendFileRow("/home/ann/Budget 2026.ods");
    const QImage madeDark = later->grab().toImage();
    QApplication::setPalette(desktop);
    QVERIFY(light == dark);
    QVERIFY(light == madeDark);
}

void MainWindowTest::readableUnderADarkScheme_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPalette::ColorRole>("text");
    QTest::addColumn<QPalette::ColorRole>("ground");
    for (const char* button :
         {"PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton8", "PushButton9"})
        QTest::newRow(button) << button << QPalette::ButtonText << QPalette::Button;
    for (const char* plain : {"Option1", "Option2", "Frame3", "Frame4"})
        QTest::newRow(plain) << plain << QPalette::WindowText << QPalette::Window;
    for (const char* field : {"ListView1", "Text1", "ProgressBar1"})
        QTest::newRow(field) << field << QPalette::Text << QPalette::Base;
    QTest::newRow("list header") << "header" << QPalette::ButtonText << QPalette::Button;
    QTest::newRow("progress over its bar")
        << "ProgressBar1" << QPalette::HighlightedText << QPalette::Highlight;
}

void MainWindowTest::readableUnderADarkScheme()
{
    QFETCH(QString, control);
    QFETCH(QPalette::ColorRole, text);
    QFETCH(QPalette::ColorRole, ground);
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(darkScheme());
    WindowHarness h;
    auto w = h.start();
    QWidget* widget = control == "header"
                          ? WindowHarness::child<QTreeView>(*w, "ListView1")->header()
                          : WindowHarness::child<QWidget>(*w, control.toLatin1());
    const QPalette p = widget->palette();
    QApplication::setPalette(desktop);
    // Disabled too: the folder controls are greyed out when each PDF goes
    // beside its source.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const double ratio = contrast(p.color(group, text), p.color(group, ground));
        QVERIFY2(ratio >= 4.5, qPrintable(QString("group %1: %2").arg(group).arg(ratio)));
    }
}

void MainWindowTest::keyboard_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("remaining");
    const QStringList abc{"/a.ods", "/b.ods", "/c.ods"};
    QTest::newRow("Return presses Clear List") << "return" << QStringList{};
    QTest::newRow("keypad Enter presses Clear List") << "enter" << QStringList{};
    QTest::newRow("Ctrl+Return does not") << "ctrl+return" << abc;
    QTest::newRow("Shift+Tab into the list, Delete")
        << "backtab delete" << QStringList{"/b.ods", "/c.ods"};
    QTest::newRow("Tab into the list, Delete") << "tab delete" << QStringList{"/b.ods", "/c.ods"};
}

void MainWindowTest::keyboard()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, remaining);
    WindowHarness h;
    auto w = h.start();
    w->show();
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    for (const char* path : {"/a.ods", "/b.ods", "/c.ods"})
        w->fileList().AppendFileRow(path);
    auto* clear = WindowHarness::child<QPushButton>(*w, "PushButton8");
    auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");
    if (keys == "return" || keys == "enter" || keys == "ctrl+return") {
        clear->setFocus();
        const Qt::KeyboardModifiers modifiers = keys == "enter"    ? Qt::KeypadModifier
                                                : keys == "return" ? Qt::NoModifier
                                                                   : Qt::ControlModifier;
        QTest::keyClick(clear, keys == "enter" ? Qt::Key_Enter : Qt::Key_Return, modifiers);
    } else {
        // The list comes after the last radio button and before the first button.
        QWidget* from = keys.startsWith("tab") ? static_cast<QWidget*>(radio(*w, "Option2"))
                                               : WindowHarness::child<QWidget>(*w, "PushButton1");
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab,
                        keys.startsWith("tab") ? Qt::NoModifier : Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Delete);
    }
    QCOMPARE(WindowHarness::rows(*w), remaining);
}

void MainWindowTest::screenReaderNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("described");
    QTest::newRow("list") << "ListView1"
                          << "Files to convert" << true;
    QTest::newRow("output folder") << "Text1"
                                   << "Output folder" << true;
    QTest::newRow("browse") << "PushButton3"
                            << "Browse for the output folder" << false;
    QTest::newRow("progress") << "ProgressBar1"
                              << "Progress Bar" << true;
    QTest::newRow("radio group") << "Frame3"
                                 << "Save Option" << true;
    QTest::newRow("start") << "PushButton2"
                           << "Start Converting To PDF" << false;
    QTest::newRow("main window, a window") << "Form1"
                                           << "Tarnwick" << false;
    QTest::newRow("inner frame, not the group's name again") << "Frame4"
                                                             << "Folder for the results" << false;
}

void MainWindowTest::screenReaderNames()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(bool, described);
    WindowHarness h;
    auto w = h.start();
    QWidget* widget =
        control == "Form1" ? w.get() : WindowHarness::child<QWidget>(*w, control.toLatin1());
    QCOMPARE(accessibleText(widget, QAccessible::Name), name);
    if (control.startsWith("Form") || control == "Frame4")
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->role(),
                 widget->isWindow() ? QAccessible::Window : QAccessible::Grouping);
    if (described)
        QVERIFY(!accessibleText(widget, QAccessible::Description).isEmpty());
}

void MainWindowTest::progressBarIsNamedAfterItsText()
{
    WindowHarness h;
    h.clock.stepMs = 2000; // each pause is over at its second reading
    h.desktopFolder = [&h] { return h.dir.path() + "/"; };
    auto w = h.start();
    auto* bar = WindowHarness::child<QProgressBar>(*w, "ProgressBar1");
    QStringList heard;
    h.office.office.exportAction = [&](const QString& path) {
        heard << accessibleText(bar, QAccessible::Name);
        FakeOffice::writeFakePdf(path);
    };
    for (const char* name : {"a.ods", "b.ods"})
        w->fileList().AppendFileRow(h.dir.filePath(name));
    WindowHarness::child<QPushButton>(*w, "PushButton2")->click();
    QCOMPARE(heard, (QStringList{"Processing: a.ods", "Processing: b.ods"}));
    QCOMPARE(accessibleText(bar, QAccessible::Name), QString("Progress Bar"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
