#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for: `tarnwick [FILE|FOLDER]...`, or one of
// --help and --version. Read by the launcher and by the real program alike,
// before either needs a display or the office.
struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    // The files and folders to add, as absolute paths.
    QStringList files;
    // The file arguments that are not valid UTF-8, as absolute display
    // forms: no path text reaches them, so they cannot be added.
    QStringList unrepresentable;
    // What is wrong with the first argument that is, for Action::Wrong.
    QString problem;
};

// Reads the arguments after the program name. Relative paths are taken
// from workingDir; "--" ends the options; empty arguments are left out.
// Qt's own options (-platform NAME, -reverse, ...) are passed over, with
// their values: the application object takes them. --help wins over
// --version, and both over a wrong option. `shownAs`, when given, holds for
// each argument that is not valid UTF-8 its display form, and a null string
// for the others.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir,
                             const QStringList& shownAs = {});
// The arguments of main() after the program name.
QStringList ProgramArguments(int argc, char* argv[]);

// Answers --help, --version and a wrong option on standard output or
// error, and gives the exit code; nothing for a line that runs the program.
std::optional<int> AnswerWithoutWindow(const CommandLine& line);
