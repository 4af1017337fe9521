#include "batchoptions.h"

#include "officelimits.h"

#include <QDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {
const QString Convert = QStringLiteral("--convert");
const QString OutputDir = QStringLiteral("--output-dir");
const QString Jobs = QStringLiteral("--jobs");

bool isHelpOrVersion(const QString& argument)
{
    return argument == u"-h" || argument == u"--help" || argument == u"-?" || argument == u"-v" ||
           argument == u"--version";
}

// True when arguments[i] is the option `name`, as `--name VALUE` or
// `--name=VALUE`: its value goes into `value` (i then moves past it), a
// missing one into `error`.
bool takeValue(const QString& name, const QStringList& arguments, qsizetype& i, QString& value,
               QString& error)
{
    const QString& argument = arguments[i];
    if (argument.startsWith(name + u'=')) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (argument != name)
        return false;
    if (i + 1 >= arguments.size())
        error = QStringLiteral("%1 needs a value").arg(name);
    else
        value = arguments[++i];
    return true;
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

BatchOptions ParseBatchOptions(const QStringList& given, const QString& workingDir,
                               const QStringList& shownAs)
{
    // Those that are not valid UTF-8 are read, and reported, as shown.
    QStringList arguments = given;
    const auto unrepresentable = [&shownAs](qsizetype i) { return !shownAs.value(i).isNull(); };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (unrepresentable(i))
            arguments[i] = shownAs[i];
    }
    BatchOptions options;
    QString& error = options.usageError;
    const QDir base(workingDir);
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size() && error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument.isEmpty()) {
            // An empty variable in a script; as a path it would name the
            // working folder.
        } else if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            if (unrepresentable(i))
                options.unrepresentable << options.paths.size();
            options.paths << QDir::cleanPath(base.absoluteFilePath(argument));
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == Convert) {
        } else if (takeValue(OutputDir, arguments, i, value, error)) {
            if (error.isEmpty() && value.isEmpty())
                error = QStringLiteral("%1 needs a folder").arg(OutputDir);
            else if (error.isEmpty() && unrepresentable(i))
                error = QStringLiteral("%1 needs a folder whose name is valid UTF-8, not '%2'")
                            .arg(OutputDir, value);
            else if (error.isEmpty())
                options.outputDir = QDir::cleanPath(base.absoluteFilePath(value));
        } else if (takeValue(Jobs, arguments, i, value, error)) {
            bool number = false;
            options.jobs = value.toInt(&number);
            if (error.isEmpty() && (!number || options.jobs < 1))
                error = QStringLiteral("%1 needs a whole number of 1 or more, not '%2'")
                            .arg(Jobs, value);
        } else {
            error = QStringLiteral("unknown option %1").arg(argument);
        }
    }
    if (error.isEmpty() && options.paths.isEmpty())
        error = QStringLiteral("%1 needs at least one file or folder").arg(Convert);
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
