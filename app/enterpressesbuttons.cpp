#include "enterpressesbuttons.h"

#include <QKeyEvent>
#include <QPushButton>

void EnterPressesButtons::watch(QPushButton* button)
{
    button->installEventFilter(this);
}

bool EnterPressesButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    // A held key presses once.
    if (!key->isAutoRepeat())
        static_cast<QPushButton*>(watched)->click();
    return true;
}
