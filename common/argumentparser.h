#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// One argument as an option or the list of paths gets it. The text of one
// that is not valid UTF-8 is its display form (see DisplayName), which
// names no file.
struct Argument {
    QString text;
    bool unrepresentable = false;
};

struct ParsedArguments {
    // The paths, absolute and clean, in their order.
    QList<Argument> paths;
    // The first thing wrong; empty when nothing is.
    QString problem;
};

// The walk over main()'s arguments after the program name that the window's
// command line and --convert's share. Empty arguments are left out (an empty
// variable in a script: as a path it would name the working folder); "--"
// ends the options; "-" and whatever does not begin with "-" is a path,
// taken from the working folder. Options are known by their exact names; a
// value is the next argument, whatever it is, or follows "=" in the same
// one. The walk goes on past a problem, so that a later --help still counts,
// and keeps the first.
class ArgumentParser {
public:
    enum class Value {
        Either, // --name VALUE or --name=VALUE
        Apart,  // --name VALUE
        Joined, // --name=VALUE
    };
    using TakeValue = std::function<void(const Argument& value)>;

    // `missingValue` tells an option given without its value; %1 is the
    // option as given.
    explicit ArgumentParser(QString workingDir,
                            QString missingValue = QStringLiteral("%1 needs a value"));

    // An option without a value.
    void flag(const QStringList& names, std::function<void()> seen);
    // An option with one; a null `take` passes the value over.
    void value(const QStringList& names, TakeValue take, Value form = Value::Either);

    // `arguments` as text; `shownAs` holds for each argument that is not
    // valid UTF-8 its display form, and a null string for the others.
    ParsedArguments parse(const QStringList& arguments, const QStringList& shownAs = {});

    // For the options' handlers: tells what is wrong (unless something
    // before was), and makes a path absolute from the working folder.
    void fail(const QString& problem);
    QString absolute(const QString& path) const;

private:
    struct Option {
        QStringList names;
        std::optional<Value> form; // none for a flag
        std::function<void()> seen;
        TakeValue take;
    };
    // Reads the option at arguments[i] with its value, moving i past that
    // value; false when there is no such option.
    bool takeOption(const QList<Argument>& arguments, qsizetype& i);

    QString workingDir_;
    QString missingValue_;
    std::vector<Option> options_;
    QString problem_;
};

// The options that end the program with a text before either command line
// runs: --help first, then --version.
inline const QStringList HelpOptionNames = {QStringLiteral("-h"), QStringLiteral("--help"),
                                            QStringLiteral("-?")};
inline const QStringList VersionOptionNames = {QStringLiteral("-v"), QStringLiteral("--version")};

// The arguments of main() after the program name.
QStringList ProgramArguments(int argc, char* argv[]);
