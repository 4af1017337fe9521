#include "commandline.h"

#include <QDir>

CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir)
{
    CommandLine line;
    bool help = false, version = false, optionsEnded = false;
    const QDir base(workingDir);
    for (const QString& argument : arguments) {
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            line.files << QDir::cleanPath(base.absoluteFilePath(argument));
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help" || argument == u"-?") {
            help = true;
        } else if (argument == u"-v" || argument == u"--version") {
            version = true;
        } else if (line.wrongOption.isEmpty()) {
            line.wrongOption = argument;
        }
    }
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.wrongOption.isEmpty())
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

QString HelpText()
{
    return QStringLiteral(
        "Usage: tarnwick [FILE|FOLDER]...\n"
        "Converts office spreadsheets (.ods, .ots, .sxc, .stc) to PDF files.\n"
        "\n"
        "The files are added to the list in the window, and folders with every file\n"
        "in them and in their sub-folders, as if they were dropped on the list.\n"
        "Nothing is converted until \"Start Converting To PDF\" is pressed. When\n"
        "Tarnwick already runs, the files go to its window and no second one opens.\n"
        "\n"
        "  -h, --help     show this help and end\n"
        "  -v, --version  show the version and end\n");
}

QString VersionText()
{
    return QStringLiteral("Tarnwick " TARNWICK_VERSION "\n");
}
