#include "batchreport.h"

#include "batchoptions.h"

BatchReport::BatchReport(std::FILE* out, std::FILE* err, bool showProgress)
    : out_(out), err_(err), showProgress_(showProgress)
{
}

void BatchReport::converted(const QString& source, const QString& pdf)
{
    clearProgress();
    ++converted_;
    std::fprintf(out_, "%s\t%s\n", qPrintable(source), qPrintable(pdf));
    // A script reading the lines sees each file as it finishes.
    std::fflush(out_);
    showProgress();
}

void BatchReport::failed(const QString& source, const QString& message)
{
    clearProgress();
    ++failed_;
    std::fprintf(err_, "%s: %s\n", qPrintable(source), qPrintable(message.simplified()));
    showProgress();
}

void BatchReport::note(const QString& text)
{
    clearProgress();
    std::fprintf(err_, "tarnwick: %s\n", qPrintable(text));
    showProgress();
}

void BatchReport::summary(double seconds, bool interrupted)
{
    clearProgress();
    std::fprintf(err_, "%s%d files, %d converted, %d failed, %.1f seconds\n",
                 interrupted ? "interrupted: " : "", files_, converted_, failed_, seconds);
    std::fflush(err_);
}

int BatchReport::exitCode() const
{
    return converted_ == files_ ? BatchExit::AllConverted : BatchExit::SomeFailed;
}

void BatchReport::clearProgress()
{
    if (progressShown_)
        std::fputs("\r\033[K", err_);
    progressShown_ = false;
}

void BatchReport::showProgress()
{
    if (!showProgress_)
        return;
    std::fprintf(err_, "[%d/%d] %d converted, %d failed", converted_ + failed_, files_, converted_,
                 failed_);
    std::fflush(err_);
    progressShown_ = true;
}
