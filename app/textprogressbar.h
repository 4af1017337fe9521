#pragma once

#include <QProgressBar>

// A progress bar that shows its text as set, so that a file name holding
// "%p" or "%v" is not taken for a placeholder, and that is named after that
// text, so that a screen reader follows the run ("Processing: ...").
class TextProgressBar : public QProgressBar {
    Q_OBJECT

public:
    using QProgressBar::QProgressBar;
    QString text() const override { return format(); }
    // Hides QProgressBar::setFormat, which is not virtual: the window holds
    // its bar as a TextProgressBar, so every text it sets passes here.
    void setFormat(const QString& text)
    {
        QProgressBar::setFormat(text);
        setAccessibleName(text);
    }
};
