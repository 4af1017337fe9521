#pragma once

#include "errors.h"

#include <QString>

#include <functional>

class Dialogs;

// Runs the numbered lines of a guarded procedure. An error in a line is shown
// with the error report (the procedure's location and the line's number) and
// the procedure goes on with its next line; nothing escapes. An error in the
// test of a conditional or a loop counts as true, so the procedure goes on
// into the block that the test guards. An error inside an operation that a
// line calls abandons that operation: the line ends there.
class Guard {
public:
    Guard(Dialogs& dialogs, QString location) : dialogs_(dialogs), location_(std::move(location)) {}

    // Runs one line; false when it failed.
    bool line(int number, const std::function<void()>& body);
    // Evaluates a test; an error in it shows the report and answers true.
    bool test(int number, const std::function<bool()>& predicate);
    // Like line(), but lets the caller handle some errors itself: when
    // `handles` accepts the error, no report is shown and false comes back
    // with the error in `caught`.
    bool line(int number, const std::function<void()>& body,
              const std::function<bool(const CaughtError&)>& handles, CaughtError& caught);

private:
    void report(int number, const CaughtError& error);

    Dialogs& dialogs_;
    QString location_;
};
