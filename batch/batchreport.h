#pragma once

#include <QString>

#include <cstdio>

// What a batch tells: a record on standard output for each converted file
// (source and PDF, separated by a tab and ended by a line break, or each
// ended by NUL), a line on standard error for each failed one, a progress
// counter on standard error when that is a terminal, and a summary line at
// the end. With a JSON Lines report, every source gets an object there as
// it finishes. A record that cannot be written is told on standard error
// once, and the run then ends with 1.
class BatchReport {
public:
    struct Form {
        // Standard output's records end in NUL, for xargs -0.
        bool nullTerminated = false;
        // The source-and-PDF records on standard output; none when the JSON
        // report goes there instead.
        bool plainRecords = true;
        // The summary counts the files left as they were (--update).
        bool countUpToDate = false;
    };
    BatchReport(std::FILE* out, std::FILE* err, bool showProgress, Form form);

    // The JSON Lines report goes to `json`, called `name` in messages.
    void setJson(std::FILE* json, const QString& name);
    void setFiles(int files) { files_ = files; }
    void converted(const QString& source, const QString& pdf, double seconds);
    // `pdf` may be empty when there is none to name.
    void failed(const QString& source, const QString& pdf, const QString& message,
                double seconds = 0);
    void upToDate(const QString& source, const QString& pdf);
    // A remark on the run, such as fewer offices than wanted.
    void note(const QString& text);
    void summary(double seconds, bool interrupted);
    // 0 when no file failed and every record was written, 1 otherwise.
    int exitCode() const;

private:
    void record(const QString& source, const QString& pdf, const char* status,
                const QString& message, double seconds);
    // Flushes `stream`; the first failure of each is told.
    void flushed(std::FILE* stream, const QString& name, bool& broken);
    void clearProgress();
    void showProgress();

    std::FILE* out_;
    std::FILE* err_;
    std::FILE* json_ = nullptr;
    QString jsonName_;
    bool showProgress_;
    Form form_;
    bool progressShown_ = false;
    bool outBroken_ = false;
    bool jsonBroken_ = false;
    int files_ = 0;
    int converted_ = 0;
    int upToDate_ = 0;
    int failed_ = 0;
};
