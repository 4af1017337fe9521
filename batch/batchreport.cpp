#include "batchreport.h"

#include "batchoptions.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>

BatchReport::BatchReport(std::FILE* out, std::FILE* err, bool showProgress, Form form)
    : out_(out), err_(err), showProgress_(showProgress), form_(form)
{
}

void BatchReport::setJson(std::FILE* json, const QString& name)
{
    json_ = json;
    jsonName_ = name;
}

void BatchReport::flushed(std::FILE* stream, const QString& name, bool& broken)
{
    // A script reading the records sees each file as it finishes.
    if (std::fflush(stream) == 0 && !std::ferror(stream))
        return;
    const int error = errno;
    std::clearerr(stream);
    if (broken)
        return;
    broken = true;
    clearProgress();
    std::fprintf(err_, "tarnwick: %s cannot be written: %s\n", qPrintable(name),
                 std::strerror(error));
}

void BatchReport::record(const QString& source, const QString& pdf, const char* status,
                         const QString& message, double seconds)
{
    if (!json_)
        return;
    QJsonObject line{{QStringLiteral("source"), source},
                     {QStringLiteral("pdf"), pdf.isEmpty() ? QJsonValue() : QJsonValue(pdf)},
                     {QStringLiteral("status"), QLatin1String(status)},
                     {QStringLiteral("seconds"), qRound(seconds * 1000) / 1000.0}};
    if (!message.isEmpty())
        line.insert(QStringLiteral("message"), message);
    const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), json_);
    flushed(json_, jsonName_, jsonBroken_);
}

void BatchReport::converted(const QString& source, const QString& pdf, double seconds)
{
    clearProgress();
    ++converted_;
    if (form_.plainRecords) {
        const QByteArray s = source.toLocal8Bit(), p = pdf.toLocal8Bit();
        const char end = form_.nullTerminated ? '\0' : '\n';
        const char between = form_.nullTerminated ? '\0' : '\t';
        std::fwrite(s.constData(), 1, size_t(s.size()), out_);
        std::fputc(between, out_);
        std::fwrite(p.constData(), 1, size_t(p.size()), out_);
        std::fputc(end, out_);
        flushed(out_, QStringLiteral("Standard output"), outBroken_);
    }
    record(source, pdf, "converted", {}, seconds);
    showProgress();
}

void BatchReport::failed(const QString& source, const QString& pdf, const QString& message,
                         double seconds)
{
    clearProgress();
    ++failed_;
    std::fprintf(err_, "%s: %s\n", qPrintable(source), qPrintable(message.simplified()));
    record(source, pdf, "failed", message.simplified(), seconds);
    showProgress();
}

void BatchReport::upToDate(const QString& source, const QString& pdf)
{
    ++upToDate_;
    record(source, pdf, "up-to-date", {}, 0);
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
    const QString upToDate =
        form_.countUpToDate ? QStringLiteral("%1 up to date, ").arg(upToDate_) : QString();
    std::fprintf(err_, "%s%d files, %d converted, %s%d failed, %.1f seconds\n",
                 interrupted ? "interrupted: " : "", files_, converted_, qPrintable(upToDate),
                 failed_, seconds);
    std::fflush(err_);
}

int BatchReport::exitCode() const
{
    return failed_ == 0 && !outBroken_ && !jsonBroken_ ? BatchExit::AllConverted
                                                       : BatchExit::SomeFailed;
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
    std::fprintf(err_, "[%d/%d] %d converted, %d failed", converted_ + upToDate_ + failed_, files_,
                 converted_, failed_);
    std::fflush(err_);
    progressShown_ = true;
}
