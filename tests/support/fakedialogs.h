#pragma once

#include "dialogs.h"
#include "errors.h"

#include <QList>
#include <QQueue>

#include <functional>

// Scripted dialogs: answers are queued beforehand, and everything shown is
// recorded exactly as it was asked for. An empty queue answers "No", "OK" or
// "" (cancel).
class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        QString text, caption;
        MessageButtons buttons;
        MessageIcon icon;
    };
    struct Asked {
        QString prompt, title, defaultText;
    };

    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override
    {
        shown.append({text, caption, buttons, icon});
        if (onMessage)
            onMessage();
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override
    {
        asked.append({prompt, title, defaultText});
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    QString openFiles(const OpenFileRequest& request) override
    {
        fileRequests.append(request);
        if (!fileSelections.isEmpty())
            return OpenFileDialogText(fileSelections.dequeue());
        return QString();
    }
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override
    {
        browsed.append({prompt, QString(), initialFolder});
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
    void openUrl(const QUrl& url) override { opened.append(url); }

    // The texts of the messages shown, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const auto& s : shown)
            out << s.text;
        return out;
    }

    QQueue<MessageAnswer> answers;
    QQueue<QString> inputs;
    QQueue<QStringList> fileSelections; // chosen paths, as the file dialog returns them
    QQueue<QString> folders;
    std::function<void()> onMessage; // runs while a message is "open"

    QList<Shown> shown;
    QList<Asked> asked;
    QList<OpenFileRequest> fileRequests;
    QList<Asked> browsed; // prompt and initial folder (in defaultText)
    QList<QUrl> opened;
};
