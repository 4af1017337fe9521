#pragma once

#include <QObject>

class QPushButton;

// Lets Return and keypad Enter press the push button that has the focus, as
// Space does; a plain window, unlike a dialog, leaves those keys unused.
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;
    void watch(QPushButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
