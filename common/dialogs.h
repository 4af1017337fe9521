#pragma once

#include <QString>
#include <QUrl>

// Everything modal or handed to the desktop goes through this interface, so
// that tests can script the answers and read back what was shown.
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Warning };
enum class MessageAnswer { Ok, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& caption,
                                  MessageButtons buttons, MessageIcon icon) = 0;
    // Opens a folder or a web page with the desktop's default handler.
    virtual void openUrl(const QUrl& url) = 0;
};

// The real dialogs: QMessageBox and QDesktopServices.
class QtDialogs final : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override;
    void openUrl(const QUrl& url) override;
};
