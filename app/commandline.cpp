#include "commandline.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace {

// Qt's own options, which it reads in either form, "-name" or "--name".
// Those in the first list take the next argument as their value; the
// "NAME=VALUE" forms carry it in the argument itself.
const QStringList QtOptionsWithValue = {QStringLiteral("-platform"),
                                        QStringLiteral("-platformpluginpath"),
                                        QStringLiteral("-platformtheme"),
                                        QStringLiteral("-plugin"),
                                        QStringLiteral("-qwindowgeometry"),
                                        QStringLiteral("-qwindowicon"),
                                        QStringLiteral("-qwindowtitle"),
                                        QStringLiteral("-session"),
                                        QStringLiteral("-display"),
                                        QStringLiteral("-geometry"),
                                        QStringLiteral("-title"),
                                        QStringLiteral("-icon"),
                                        QStringLiteral("-name"),
                                        QStringLiteral("-style"),
                                        QStringLiteral("-stylesheet")};
const QStringList QtOptionsAlone = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                    QStringLiteral("-nograb"), QStringLiteral("-dograb")};
const QStringList QtOptionsWithEquals = {QStringLiteral("-style="), QStringLiteral("-stylesheet="),
                                         QStringLiteral("-qmljsdebugger=")};

QString qtSpelling(const QString& option)
{
    return option.startsWith(u"--") ? option.mid(1) : option;
}

bool isQtOptionAlone(const QString& option)
{
    const QString name = qtSpelling(option);
    return QtOptionsAlone.contains(name) ||
           std::any_of(QtOptionsWithEquals.begin(), QtOptionsWithEquals.end(),
                       [&](const QString& prefix) { return name.startsWith(prefix); });
}

QString helpText()
{
    return QStringLiteral(
        "Usage: tarnwick [FILE|FOLDER]...\n"
        "  or:  tarnwick --convert [--output-dir DIR] [--jobs N] PATH...\n"
        "Converts office spreadsheets (.ods, .ots, .sxc, .stc) to PDF files.\n"
        "\n"
        "The files are added to the list in the window, and folders with every file\n"
        "in them and in their sub-folders, as if they were dropped on the list.\n"
        "Nothing is converted until \"Start Converting To PDF\" is pressed. When\n"
        "Tarnwick already runs, the files go to its window and no second one opens.\n"
        "\n"
        "With --convert there is no window: each PATH that is a file is converted,\n"
        "and so is each spreadsheet in a PATH that is a folder and in its sub-folders.\n"
        "Each PDF goes beside its source, and the program exits. Standard output gets\n"
        "a line for each converted file (the source, a tab, the PDF), standard error\n"
        "one for each failed file and a summary. Exit status: 0 all converted, 1 some\n"
        "failed, 2 wrong usage, 3 no office installed, 128 + N ended by signal N.\n"
        "\n"
        "  --output-dir DIR  put the PDFs into DIR instead; a folder's files keep\n"
        "                    their sub-folders below it\n"
        "  --jobs N          run N offices at once (default: the number of cores,\n"
        "                    at most 4)\n"
        "  -h, --help        show this help and end\n"
        "  -v, --version     show the version and end\n");
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir,
                             const QStringList& shownAs)
{
    CommandLine line;
    bool help = false, version = false, optionsEnded = false;
    const QDir base(workingDir);
    const auto wrong = [&line](const QString& problem) {
        if (line.problem.isEmpty())
            line.problem = problem;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty()) {
            // An empty variable in a script; as a path it would name the
            // working folder.
        } else if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            const QString shown = shownAs.value(i);
            if (shown.isNull())
                line.files << QDir::cleanPath(base.absoluteFilePath(argument));
            else
                line.unrepresentable << QDir::cleanPath(base.absoluteFilePath(shown));
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help" || argument == u"-?") {
            help = true;
        } else if (argument == u"-v" || argument == u"--version") {
            version = true;
        } else if (QtOptionsWithValue.contains(qtSpelling(argument))) {
            if (++i == arguments.size())
                wrong(QStringLiteral("option %1 needs a value").arg(argument));
        } else if (!isQtOptionAlone(argument)) {
            wrong(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.problem.isEmpty())
        line.action = CommandLine::Action::Wrong;
    return line;
}

QStringList ProgramArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

std::optional<int> AnswerWithoutWindow(const CommandLine& line)
{
    switch (line.action) {
    case CommandLine::Action::Run:
        return std::nullopt;
    case CommandLine::Action::Help:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs("Tarnwick " TARNWICK_VERSION "\n", stdout);
        return 0;
    case CommandLine::Action::Wrong:
        std::fprintf(stderr, "tarnwick: %s\nTry 'tarnwick --help'.\n",
                     line.problem.toLocal8Bit().constData());
        return 2;
    }
    return 2;
}
