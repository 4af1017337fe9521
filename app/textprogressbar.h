#pragma once

#include <QProgressBar>

// A progress bar that shows its text as set, so that a file name holding
// "%p" or "%v" is not taken for a placeholder.
class TextProgressBar : public QProgressBar {
    Q_OBJECT

public:
    using QProgressBar::QProgressBar;
    QString text() const override { return format(); }
};
