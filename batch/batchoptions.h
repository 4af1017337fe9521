#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// `tarnwick --convert [OPTION]... PATH...`: converts the files and folders
// and exits, without a window. Qt Core only, so that the launcher can answer
// a usage error and a missing office itself.
struct BatchOptions {
    // The files and folders to convert, as absolute paths.
    QStringList paths;
    // The indexes in `paths` of those whose argument is not valid UTF-8: the
    // path there is only its display form and names no file.
    QList<qsizetype> unrepresentable;
    // Where every PDF goes, absolute; empty: beside each source.
    QString outputDir;
    // How many offices work at once; 0: the default.
    int jobs = 0;
    // A source whose PDF is there and not older than it is not converted.
    bool update = false;
    // Where the JSON Lines report goes: a file, "-" for standard output, or
    // nowhere when empty.
    QString report;
    // A list of further sources, one per line (NUL-separated with `null`):
    // a file, "-" for standard input, or none when empty.
    QString filesFrom;
    // Lists read and records written end in NUL instead of a line break.
    bool null = false;
    // This run's share of the sources, `shard` of `shards`; 0 of 0: all.
    int shard = 0;
    int shards = 0;
    // The longest one file may take, in seconds; 0: the office's own limit.
    int timeout = 0;
    // Why the command line cannot be run; empty when it can.
    QString usageError;
};

// The exit statuses of the batch command; a signal gives 128 + its number.
namespace BatchExit {
inline constexpr int AllConverted = 0;
inline constexpr int SomeFailed = 1;
inline constexpr int UsageError = 2;
inline constexpr int NoOffice = 3;
} // namespace BatchExit

// True when the arguments after the program name ask for --convert and for
// neither --help nor --version, which the program answers as ever.
bool AsksForConversion(const QStringList& arguments);
// Reads the arguments after the program name, as ArgumentParser walks them
// (relative paths from workingDir; `shownAs` as there). Paths may be left
// out only when --files-from names a list.
BatchOptions ParseBatchOptions(const QStringList& arguments, const QString& workingDir,
                               const QStringList& shownAs = {});
// On standard error: the usage error with a hint to --help; that no office
// is installed.
void PrintUsageError(const QString& error);
void PrintNoOffice();
// The number of cores, at most 4.
int DefaultJobCount();
