#pragma once

#include <QString>

#include <stdexcept>

// An error that Tarnwick raises itself, with the text the user is shown and,
// where one applies, the number that handlers test for (0 when none).
class TarnwickError : public std::runtime_error {
public:
    explicit TarnwickError(const QString& description, int number = 0)
        : std::runtime_error(description.toStdString()), description_(description), number_(number)
    {
    }
    const QString& description() const { return description_; }
    int number() const { return number_; }

private:
    QString description_;
    int number_;
};

// The numbers that errors carry. Reports show only the description; the
// number is what a handler tests for.
// A share of nothing: the progress of a run whose list became empty.
inline constexpr int DivisionByZero = 11;
// A value of the wrong kind: a setting that is no truth value.
inline constexpr int TypeMismatch = 13;
// A path that may not be examined (EACCES, EPERM) and one that is not there
// (every other errno), the numbers the folder walk tests for.
inline constexpr int PermissionDenied = 70;
inline constexpr int PathNotFound = 76;
// A file that holds no picture: a damaged pointer file.
inline constexpr int InvalidPicture = 481;
// The open-file dialog's names did not fit its 30,000-character buffer.
inline constexpr int FileNameBufferTooSmall = 20476;
// A position outside the file list (positions count from 1).
inline constexpr int IndexOutOfBounds = 35600;
// Raises 70 or 76 for an errno met on `path`.
[[noreturn]] void RaiseFileError(int errnoValue, const QString& path);

// The description and number of the exception being handled; call only
// inside a catch block.
struct CaughtError {
    QString description;
    int number = 0;
};
CaughtError DescribeCurrentException();
