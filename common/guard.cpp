#include "guard.h"

#include "errorreport.h"

bool Guard::line(int number, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        report(number, DescribeCurrentException());
        return false;
    }
}

bool Guard::test(int number, const std::function<bool()>& predicate)
{
    try {
        return predicate();
    } catch (...) {
        report(number, DescribeCurrentException());
        return true;
    }
}

bool Guard::line(int number, const std::function<void()>& body,
                 const std::function<bool(const CaughtError&)>& handles, CaughtError& caught)
{
    try {
        body();
        return true;
    } catch (...) {
        caught = DescribeCurrentException();
        if (!handles(caught))
            report(number, caught);
        return false;
    }
}

void Guard::report(int number, const CaughtError& error)
{
    // The report itself must not let anything escape either.
    try {
        ShowErrorReport(dialogs_, error.description, location_, number);
    } catch (...) {
    }
}
