// The window's load step: numbered lines under the guard, in order.
#include "mainwindow.h"

#include "apptitle.h"
#include "filelistmodel.h"
#include "filelistview.h"
#include "guard.h"
#include "locations.h"
#include "officelink.h"
#include "pointerpicture.h"
#include "samples.h"
#include "settingsstore.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>

bool Form1::Form_Load()
{
    Guard g(services_.dialogs, Location::FormLoad);
    SettingsStore& settings = services_.settings;
    const QString cursorFile = services_.programDir + QStringLiteral("/HAND-M.CUR");

    g.line(100, [&] { ApplySkin(); });
    // Reading a picture loads Qt's image plugins, which the first paint does
    // not need: the pointer and the icon come once the window is on the screen.
    if (g.test(102, [&] { return PathExists(cursorFile); }))
        afterFirstPaint([this, cursorFile] {
            Guard(services_.dialogs, Location::FormLoad).line(104, [&] {
                const PointerPicture picture = PointerPicture::load(cursorFile);
                handPicture_ = picture.pixmap;
                handHotspot_ = picture.hotspot;
            });
        });
    for (int line : {108, 128}) {
        if (g.test(line, [&] { return settings.GetSetting(Setting::Snapshot).isEmpty(); }))
            g.line(line, [&] { RecordSampleFiles(settings, services_.programDir); });
    }
    g.line(130, [&] {
        setWindowTitle(ProductName);
        SetApplicationTitle();
        afterFirstPaint([this] {
            // The icon beside the program; a theme lookup would cost more.
            QApplication::setWindowIcon(
                QIcon(services_.programDir + QStringLiteral("/tarnwick.png")));
            setWindowIcon(QApplication::windowIcon());
        });
    });
    g.line(132, [&] { fileList_->setHeaderText(QStringLiteral("OpenOffice Calc Files")); });
    g.line(134, [&] { ListView1->setColumnWidth(0, qRound(7000 / 15.0)); });
    g.line(136, [&] {
        const QString desktop = services_.desktopFolder();
        Text1->setText(settings.GetSetting(Setting::Text1, desktop));
    });
    g.line(138, [&] { setRadio(Option1, ToTruth(settings.GetSetting(Setting::Option1))); });
    g.line(140, [&] { setRadio(Option2, ToTruth(settings.GetSetting(Setting::Option2))); });
    if (g.test(142, [&] { return Option1->isChecked(); }))
        g.line(144, [&] { Frame4->setEnabled(true); });
    else
        g.line(146, [&] { Frame4->setEnabled(false); });

    bool officeFound = true;
    g.line(148, [&] {
        officeFound = services_.office.checkOfficeSuite(services_.dialogs);
        // The office starts once the window is on the screen: starting it
        // forks this process and then keeps a processor busy for a second.
        // What goes wrong with it is reported as this line's error.
        if (officeFound)
            afterFirstPaint([this] {
                Guard(services_.dialogs, Location::FormLoad).line(148, [this] {
                    services_.office.startInBackground();
                });
            });
    });
    return officeFound;
}

void Form1::setRadio(QRadioButton* radio, bool on)
{
    if (on) {
        // Selecting a radio counts as a click on it, also when it was
        // selected already.
        radio->setChecked(true);
        Option_Click();
        return;
    }
    // Radios of one group refuse to be cleared one by one; stored settings
    // may still ask for both to be clear.
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
}

void Form1::ApplySkin()
{
    const QString skin = services_.programDir + QStringLiteral("/x/o.cjs");
    if (!QFile::exists(skin))
        return;
    // The skin brings its own colours: the window and the frames and radio
    // buttons take the button face first, as a skinned window does, with the
    // text colour that goes with that face.
    const QPalette desktop = QApplication::palette();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{this, Frame3, Frame4, Option1, Option2}) {
        QPalette p = widget->palette();
        p.setColor(QPalette::Window, desktop.color(QPalette::Button));
        p.setColor(QPalette::WindowText, desktop.color(QPalette::ButtonText));
        widget->setPalette(p);
    }
    QFile file(skin);
    if (!file.open(QIODevice::ReadOnly))
        throw TarnwickError(QStringLiteral("The skin %1 could not be read.").arg(skin));
    setStyleSheet(QString::fromUtf8(file.readAll()));
}
