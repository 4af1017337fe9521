#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `tarnwick [FILE|FOLDER]...`, or one of
// --help and --version.
struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    // The files and folders to add, as absolute paths.
    QStringList files;
    // The first option that is not known, for Action::Wrong.
    QString wrongOption;
};

// Reads the arguments after the program name. Relative paths are taken
// from workingDir; "--" ends the options. --help wins over --version, and
// both over an unknown option.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir);
// The arguments of main() after the program name.
QStringList ProgramArguments(int argc, char* argv[]);

QString HelpText();
QString VersionText();
