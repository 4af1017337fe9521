#pragma once

#include "dialogs.h"

#include <QList>
#include <QQueue>

// Scripted dialogs: answers are queued beforehand, and every message shown is
// recorded exactly as it was asked for.
class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        QString text, caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override
    {
        shown.append({text, caption, buttons, icon});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void openUrl(const QUrl& url) override { opened.append(url); }

    QQueue<MessageAnswer> answers;
    QList<Shown> shown;
    QList<QUrl> opened;
};
