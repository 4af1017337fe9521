#pragma once

#include "argumentparser.h"

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

// Reads the arguments after the program name, as ArgumentParser walks them
// (relative paths from workingDir; `shownAs` as there). Qt's own options
// (-platform NAME, -reverse, ...) are passed over, with their values: the
// application object takes them. --help wins over --version, and both over
// a wrong option.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingDir,
                             const QStringList& shownAs = {});

// Answers --help, --version and a wrong option on standard output or
// error, and gives the exit code; nothing for a line that runs the program.
std::optional<int> AnswerWithoutWindow(const CommandLine& line);
