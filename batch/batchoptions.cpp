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
        bool number = false;
        options.jobs = count.text.toInt(&number);
        if (!number || options.jobs < 1)
            parser.fail(QStringLiteral("%1 needs a whole number of 1 or more, not '%2'")
                            .arg(Jobs, count.text));
    });
    const ParsedArguments parsed = parser.parse(arguments, shownAs);

    for (const Argument& path : parsed.paths) {
        if (path.unrepresentable)
            options.unrepresentable << options.paths.size();
        options.paths << path.text;
    }
    options.usageError = parsed.problem;
    if (options.usageError.isEmpty() && options.paths.isEmpty())
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
