#include "batchoptions.h"

#include "argumentparser.h"
#include "officelimits.h"

#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {
const QString Convert = QStringLiteral("--convert");
const QString OutputDir = QStringLiteral("--output-dir");
const QString Jobs = QStringLiteral("--jobs");
const QString Report = QStringLiteral("--report");
const QString FilesFrom = QStringLiteral("--files-from");
const QString Shard = QStringLiteral("--shard");
const QString Timeout = QStringLiteral("--timeout");

// A whole number of 1 or more, or 0 when the text is none.
int positive(const QString& text)
{
    bool number = false;
    const int value = text.toInt(&number);
    return number && value >= 1 ? value : 0;
}

bool isHelpOrVersion(const QString& argument)
{
    return HelpOptionNames.contains(argument) || VersionOptionNames.contains(argument);
}
} // namespace

bool AsksForConversion(const QStringList& arguments)
{
    bool convert = false;
    for (const QString& argument : arguments) {
        if (argument == u"--")
            break;
        if (isHelpOrVersion(argument))
            return false;
        convert = convert || argument == Convert;
    }
    return convert;
}

BatchOptions ParseBatchOptions(const QStringList& arguments, const QString& workingDir,
                               const QStringList& shownAs)
{
    BatchOptions options;
    ArgumentParser parser(workingDir);
    parser.flag({Convert}, {});
    parser.value({OutputDir}, [&](const Argument& folder) {
        if (folder.text.isEmpty())
            parser.fail(QStringLiteral("%1 needs a folder").arg(OutputDir));
        else if (folder.unrepresentable)
            parser.fail(QStringLiteral("%1 needs a folder whose name is valid UTF-8, not '%2'")
                            .arg(OutputDir, folder.text));
        else
            options.outputDir = parser.absolute(folder.text);
    });
    parser.value({Jobs}, [&](const Argument& count) {
        options.jobs = positive(count.text);
        if (options.jobs == 0)
            parser.fail(QStringLiteral("%1 needs a whole number of 1 or more, not '%2'")
                            .arg(Jobs, count.text));
    });
    parser.flag({QStringLiteral("--update")}, [&] { options.update = true; });
    parser.flag({QStringLiteral("--null")}, [&] { options.null = true; });
    // "-" is standard output or input; any other text a file from here.
    const auto fileOrDash = [&](const QString& option, QString& into) {
        return [&, option](const Argument& file) {
            if (file.text.isEmpty() || file.unrepresentable)
                parser.fail(
                    QStringLiteral("%1 needs a file whose name is valid UTF-8, or -").arg(option));
            else
                into = file.text == u"-" ? file.text : parser.absolute(file.text);
        };
    };
    parser.value({Report}, fileOrDash(Report, options.report));
    parser.value({FilesFrom}, fileOrDash(FilesFrom, options.filesFrom));
    parser.value({Shard}, [&](const Argument& share) {
        const QStringList parts = share.text.split(u'/');
        options.shard = parts.size() == 2 ? positive(parts[0]) : 0;
        options.shards = parts.size() == 2 ? positive(parts[1]) : 0;
        if (options.shard == 0 || options.shards == 0 || options.shard > options.shards)
            parser.fail(QStringLiteral("%1 needs K/N, whole numbers with 1 <= K <= N, not '%2'")
                            .arg(Shard, share.text));
    });
    parser.value({Timeout}, [&](const Argument& seconds) {
        options.timeout = positive(seconds.text);
        if (options.timeout == 0)
            parser.fail(QStringLiteral("%1 needs a whole number of seconds, 1 or more, not '%2'")
                            .arg(Timeout, seconds.text));
    });
    const ParsedArguments parsed = parser.parse(arguments, shownAs);

    for (const Argument& path : parsed.paths) {
        if (path.unrepresentable)
            options.unrepresentable << options.paths.size();
        options.paths << path.text;
    }
    options.usageError = parsed.problem;
    if (options.usageError.isEmpty() && options.paths.isEmpty() && options.filesFrom.isEmpty())
        options.usageError = QStringLiteral("%1 needs at least one file or folder").arg(Convert);
    return options;
}

void PrintUsageError(const QString& error)
{
    std::fprintf(stderr, "tarnwick: %s\nTry 'tarnwick --help'.\n", qPrintable(error));
}

void PrintNoOffice()
{
    std::fputs("tarnwick: no office suite is installed; --convert needs LibreOffice Calc "
               "(Debian: apt-get install libreoffice-calc)\n",
               stderr);
}

int DefaultJobCount()
{
    return std::clamp(QThread::idealThreadCount(), 1, MostDefaultJobs);
}
