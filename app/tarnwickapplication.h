#pragma once

#include <QApplication>

// The application object. Every handler catches what it expects; an
// exception that still reaches the event loop is logged as a warning and
// that one event is dropped, instead of ending the program.
class TarnwickApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
