#pragma once

#include "dialogs.h"

class QWidget;

// The texts given with CR, CR LF or LF between lines, with each of them as a
// line break: Qt's labels break lines only at LF.
QString ShownLineBreaks(const QString& text);

// The real dialogs, owned by `parent` (the main window once it exists).
class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFiles(const OpenFileRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void openUrl(const QUrl& url) override;

private:
    QWidget* parent_ = nullptr;
};
