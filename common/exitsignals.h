#pragma once

#include "uniquefd.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (logout, "End Process", Ctrl+C) into a
// call from the event loop, by way of a pipe that the signal handler writes
// the signal's number to. One object per program.
class ExitSignals final : public QObject {
public:
    explicit ExitSignals(std::function<void(int signal)> onSignal);
    ~ExitSignals() override;

private:
    void readSignals();

    UniqueFd readEnd_, writeEnd_;
    QSocketNotifier* notifier_;
    std::function<void(int)> onSignal_;
};
