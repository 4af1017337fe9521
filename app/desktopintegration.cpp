#include "desktopintegration.h"

MessageAnswer AttentionDialogs::message(const QString& text, const QString& caption,
                                        MessageButtons buttons, MessageIcon icon)
{
    desktop_.waitingForUser(true);
    // Answered also when the message box throws.
    struct Answered {
        DesktopIntegration& desktop;
        ~Answered() { desktop.waitingForUser(false); }
    } answered{desktop_};
    return dialogs_.message(text, caption, buttons, icon);
}
