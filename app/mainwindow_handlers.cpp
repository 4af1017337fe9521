// Handlers of the file list, of the output location controls and of the
// Start button, whose run is an object of its own.
#include "mainwindow.h"

#include "apptitle.h"
#include "conversionrun.h"
#include "dialogs.h"
#include "filelistmodel.h"
#include "filelistview.h"
#include "folderpicker.h"
#include "guard.h"
#include "locations.h"
#include "settingsstore.h"

#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

void Form1::setUpRun()
{
    run_ = new ConversionRun(
        {services_.dialogs, *fileList_, services_.office, services_.clock,
         [this] {
             return OutputChoice{Option1->isChecked(), Option2->isChecked(), Text1->text()};
         },
         services_.runningExport, services_.desktop},
        this);
    connect(run_, &ConversionRun::progressChanged, ProgressBar1, &QProgressBar::setValue);
    connect(run_, &ConversionRun::progressTextChanged, this,
            [this](const QString& text) { ProgressBar1->setFormat(text); });
    connect(run_, &ConversionRun::busyChanged, this,
            [this](bool busy) { setPointer(busy ? Pointer::Busy : Pointer::Default); });
}

void Form1::PushButton2_Click()
{
    run_->start();
}

bool Form1::conversionRunning() const
{
    return run_->running();
}

void Form1::RemoveSelectedRow()
{
    if (pointer_ == Pointer::Busy || fileList_->count() == 0)
        return;
    const int position = ListView1->selectedPosition();
    if (position > 0)
        fileList_->removeAt(position);
}

void Form1::PushButton8_Click()
{
    Guard g(services_.dialogs, Location::PushButton8Click);
    if (g.test(100, [&] { return pointer_ != Pointer::Busy; }))
        g.line(102, [&] { fileList_->clear(); });
}

void Form1::Option_Click()
{
    saveFromHandler(Setting::Option1, TruthText(Option1->isChecked()));
    saveFromHandler(Setting::Option2, TruthText(Option2->isChecked()));
    Frame4->setEnabled(Option1->isChecked());
}

void Form1::Text1_Change()
{
    saveFromHandler(Setting::Text1, Text1->text());
}

void Form1::PushButton3_Click()
{
    Guard g(services_.dialogs, Location::PushButton3Click);
    SettingsStore& settings = services_.settings;
    QString chosen;
    g.line(100, [&] {
        const QString last = settings.GetSetting(Setting::LastFolderDot);
        chosen = BrowseForFolder(services_.dialogs, QStringLiteral("Please select folder:"), last);
    });
    if (g.test(102, [&] { return chosen.isEmpty(); }))
        return;
    const bool addSeparator = g.test(104, [&] {
        settings.SaveSetting(Setting::LastFolderDot, chosen);
        return !chosen.endsWith(NativeSeparator);
    });
    if (addSeparator)
        g.line(106, [&] { Text1->setText(chosen + NativeSeparator); });
    else
        g.line(108, [&] { Text1->setText(chosen); });
}

void Form1::saveFromHandler(const SettingKey& key, const QString& text)
{
    try {
        services_.settings.SaveSetting(key, text);
    } catch (const TarnwickError& e) {
        // Once per session: a store that cannot be written fails on every
        // keystroke, and the user needs to hear it only once.
        if (warnedAboutSettings_)
            return;
        warnedAboutSettings_ = true;
        services_.dialogs.message(e.description() +
                                      QStringLiteral("\r\nYour choices apply until Tarnwick ends, "
                                                     "but they will not be remembered."),
                                  ApplicationTitle(), MessageButtons::Ok, MessageIcon::None);
    }
}
