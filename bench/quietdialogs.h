#pragma once

#include "dialogs.h"

#include <QStringList>

// Answers every message with OK and every question with nothing, and keeps
// the messages' texts.
class QuietDialogs final : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString&, MessageButtons, MessageIcon) override
    {
        messages << text;
        return MessageAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFiles(const OpenFileRequest&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    void openUrl(const QUrl&) override {}

    QStringList messages;
};
