// The ways of filling the list: the open-file dialog, the folder scan, a
// drop from the file manager, and the sample files.
#include "mainwindow.h"

#include "apptitle.h"
#include "dialogs.h"
#include "fileattributes.h"
#include "filelistmodel.h"
#include "folderpicker.h"
#include "folderscan.h"
#include "guard.h"
#include "locations.h"
#include "samples.h"
#include "settingsstore.h"

#include <QCoreApplication>

namespace {
const QString FolderPrompt = QStringLiteral("Please select folder:");

void notePassedOver(const FolderScan& scan, QStringList& paths)
{
    for (const PassedOver& passed : scan.passedOver())
        paths << passed.path;
}
} // namespace

FolderScan Form1::makeFolderScan()
{
    return FolderScan(
        services_.dialogs, [this](const QString& path) { fileList_->AppendFileRow(path); },
        [] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

void Form1::PushButton1_Click()
{
    Guard g(services_.dialogs, Location::PushButton1Click);
    QString chosen;
    CaughtError caught;
    const auto bufferTooSmall = [](const CaughtError& e) {
        return e.number == FileNameBufferTooSmall;
    };
    const bool shown = g.line(
        100,
        [&] {
            chosen = services_.dialogs.openFiles(
                {QStringLiteral("Add File(s) - Use Ctrl & Shift to select multiple files"),
                 {QStringLiteral("Calc Spreadsheets (*.ods *.ots *.sxc *.stc)"),
                  QStringLiteral("All Files (*)")},
                 true});
        },
        bufferTooSmall, caught);
    if (!shown && bufferTooSmall(caught)) {
        services_.dialogs.message(QStringLiteral("You've selected too many files to add.\r\r"
                                                 "Please try adding via the \"Add All\" button."),
                                  ApplicationTitle(), MessageButtons::Ok, MessageIcon::None);
        return;
    }
    if (g.test(102, [&] { return chosen.isEmpty(); }))
        return;
    QStringList parts;
    g.line(104, [&] { parts = chosen.split(QChar(u'\0')); });
    if (g.test(106, [&] { return parts.size() == 1; })) {
        g.line(108, [&] { fileList_->AppendFileRow(parts.first()); });
        return;
    }
    for (qsizetype i = 1; i < parts.size(); ++i)
        g.line(110, [&] {
            fileList_->AppendFileRow(
                NormalizeBackslashes(parts.first() + NativeSeparator + parts.at(i)));
        });
}

void Form1::PushButton4_Click()
{
    Guard g(services_.dialogs, Location::PushButton4Click);
    SettingsStore& settings = services_.settings;
    QString answer;
    QString folder;
    g.line(100, [&] {
        answer = services_.dialogs.inputBox(
            QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                           "files, doc for all doc files, etc.)"),
            ApplicationTitle(), settings.GetSetting(Setting::Extension));
    });
    if (g.test(102, [&] { return answer.isEmpty(); }))
        return;
    g.line(104, [&] { settings.SaveSetting(Setting::Extension, answer); });
    g.line(106, [&] {
        folder = BrowseForFolder(services_.dialogs, FolderPrompt,
                                 settings.GetSetting(Setting::LastFolder));
    });
    if (g.test(108, [&] { return folder.isEmpty(); }))
        return;
    QString lastFolder;
    g.line(333, [&] { lastFolder = folder; });
    g.line(334, [&] { settings.SaveSetting(Setting::LastFolder, lastFolder); });
    g.line(110, [&] { setPointer(Pointer::Busy); });
    QStringList notAdded;
    g.line(112, [&] {
        // ".ods" means what "ods" means; the answer stays stored as typed.
        const QString extension = answer.startsWith(u'.') ? answer.mid(1) : answer;
        FolderScan scan = makeFolderScan();
        scan.AddFolderTree(folder, QStringLiteral("*.") + extension);
        notePassedOver(scan, notAdded);
    });
    g.line(114, [&] { setPointer(Pointer::Default); });
    TellNotAdded(services_.dialogs, notAdded);
}

void Form1::PushButton9_Click()
{
    Guard g(services_.dialogs, Location::PushButton9Click);
    g.line(100, [&] {
        LoadSampleFiles(*fileList_, services_.settings, services_.dialogs, services_.programDir);
    });
}

void Form1::ListView1_OLEDragDrop(const QStringList& paths)
{
    // One message for the whole drop, after it.
    QStringList notAdded;
    for (const QString& path : paths) {
        // A path that vanished or cannot be examined is skipped.
        int attributes = 0;
        try {
            attributes = FileAttributes(path);
        } catch (const TarnwickError&) {
            continue;
        }
        if (attributes & Attribute::Directory) {
            FolderScan scan = makeFolderScan();
            scan.AddFolderTree(path, QStringLiteral("*.*"));
            notePassedOver(scan, notAdded);
        } else {
            fileList_->AppendFileRow(path);
        }
    }
    TellNotAdded(services_.dialogs, notAdded);
}
