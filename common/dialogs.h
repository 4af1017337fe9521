#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Everything modal or handed to the desktop goes through this interface, so
// that tests can script the answers and read back what was shown. The Qt
// implementation lives with the window code (app/qtdialogs.h).
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Warning };
enum class MessageAnswer { Ok, Yes, No };

struct OpenFileRequest {
    QString title;
    // Qt name filters, the first one shown: "Calc Spreadsheets (*.ods *.ots)".
    QStringList filters;
    bool multiSelect = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& caption,
                                  MessageButtons buttons, MessageIcon icon) = 0;
    // The typed text, or "" when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The open-file dialog's own text: one full path, or the folder and then
    // each name, separated by NUL characters; "" when cancelled. Names that do
    // not fit the 30,000-character buffer raise TarnwickError 20476.
    virtual QString openFiles(const OpenFileRequest& request) = 0;
    // The chosen folder, without a closing separator unless it is the root;
    // "" when cancelled.
    virtual QString browseForFolder(const QString& prompt, const QString& initialFolder) = 0;
    // Opens a folder or a web page with the desktop's default handler.
    virtual void openUrl(const QUrl& url) = 0;
};

// Joins chosen files (absolute paths) into the open-file dialog's text form:
// one path, or the folder holding them all and each path below it; raises
// TarnwickError 20476 when the text exceeds the name buffer.
inline constexpr int FileNameBufferSize = 30000;
QString OpenFileDialogText(const QStringList& chosenPaths, QChar sep = u'/');
