#pragma once

#include "dialogs.h"

// The dialogs of a run without a window: a message goes to standard error
// and counts as answered with its first button; nothing can be asked, so
// every question is cancelled.
class ConsoleDialogs final : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override;
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFiles(const OpenFileRequest&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    void openUrl(const QUrl&) override {}
};
