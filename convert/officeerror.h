#pragma once

#include <QString>

#include <stdexcept>

// An error of the office or of one of our office steps, carrying the text the
// error report shows.
class OfficeError : public std::runtime_error {
public:
    explicit OfficeError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description)
    {
    }
    const QString& description() const { return description_; }

private:
    QString description_;
};
