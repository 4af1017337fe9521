#pragma once

#include <QString>

#include <cstdio>

// What a batch tells: a line on standard output for each converted file
// (source and PDF, separated by a tab), a line on standard error for each
// failed one, a progress counter on standard error when that is a terminal,
// and a summary line at the end.
class BatchReport {
public:
    BatchReport(std::FILE* out, std::FILE* err, bool showProgress);

    void setFiles(int files) { files_ = files; }
    void converted(const QString& source, const QString& pdf);
    void failed(const QString& source, const QString& message);
    // A remark on the run, such as fewer offices than wanted.
    void note(const QString& text);
    void summary(double seconds, bool interrupted);
    // 0 when every file converted, 1 otherwise.
    int exitCode() const;

private:
    void clearProgress();
    void showProgress();

    std::FILE* out_;
    std::FILE* err_;
    bool showProgress_;
    bool progressShown_ = false;
    int files_ = 0;
    int converted_ = 0;
    int failed_ = 0;
};
