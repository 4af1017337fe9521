#include "commandline.h"

#include "argumentparser.h"

#include <cstdio>

namespace {

// Qt's own options, which it reads in either spelling, "-name" or "--name",
// and takes out of the arguments itself. Those in the first list take the
// next argument as their value.
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
                                        QStringLiteral("-name")};
const QStringList QtOptionsAlone = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                    QStringLiteral("-nograb"), QStringLiteral("-dograb")};

QStringList qtSpellings(const QString& option)
{
    return {option, u'-' + option};
}

// The window's options pass Qt's over, with their values.
void addQtOptions(ArgumentParser& parser)
{
    using Value = ArgumentParser::Value;
    for (const QString& option : QtOptionsWithValue)
        parser.value(qtSpellings(option), {}, Value::Apart);
    for (const QString& option : QtOptionsAlone)
        parser.flag(qtSpellings(option), {});
    // These take theirs either way, the last one only after "=".
    parser.value(qtSpellings(QStringLiteral("-style")), {});
    parser.value(qtSpellings(QStringLiteral("-stylesheet")), {});
    parser.value(qtSpellings(QStringLiteral("-qmljsdebugger")), {}, Value::Joined);
}

QString helpText()
{
    return QStringLiteral(
        "Usage: tarnwick [FILE|FOLDER]...\n"
        "  or:  tarnwick --convert [OPTION]... PATH...\n"
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
        "  --update          leave out each source whose PDF is there and not older\n"
        "  --report FILE     write a JSON line for each source to FILE as it finishes\n"
        "                    (- for standard output, instead of the plain lines)\n"
        "  --files-from FILE convert the sources that FILE lists, one per line\n"
        "                    (- for standard input), besides the PATHs\n"
        "  --null            the list is separated by NUL bytes, as find -print0\n"
        "                    writes it; standard output's records end in NUL too\n"
        "  --shard K/N       convert only share K of N of the sources, by a hash of\n"
        "                    each one's path below the PATH that names it\n"
        "  --timeout SECONDS end a file that takes longer, and go on (default: 1800)\n"
        "  -h, --help        show this help and end\n"
        "  -v, --version     show the version and end\n");
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir,
                             const QStringList& shownAs)
{
    bool help = false, version = false;
    ArgumentParser parser(workingDir, QStringLiteral("option %1 needs a value"));
    parser.flag(HelpOptionNames, [&help] { help = true; });
    parser.flag(VersionOptionNames, [&version] { version = true; });
    addQtOptions(parser);
    const ParsedArguments parsed = parser.parse(arguments, shownAs);

    CommandLine line;
    for (const Argument& path : parsed.paths)
        (path.unrepresentable ? line.unrepresentable : line.files) << path.text;
    line.problem = parsed.problem;
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.problem.isEmpty())
        line.action = CommandLine::Action::Wrong;
    return line;
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
