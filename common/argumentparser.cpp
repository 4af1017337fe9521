#include "argumentparser.h"

#include <QDir>

ArgumentParser::ArgumentParser(QString workingDir, QString missingValue)
    : workingDir_(std::move(workingDir)), missingValue_(std::move(missingValue))
{
}

void ArgumentParser::flag(const QStringList& names, std::function<void()> seen)
{
    options_.push_back({names, std::nullopt, std::move(seen), {}});
}

void ArgumentParser::value(const QStringList& names, TakeValue take, Value form)
{
    options_.push_back({names, form, {}, std::move(take)});
}

void ArgumentParser::fail(const QString& problem)
{
    if (problem_.isEmpty())
        problem_ = problem;
}

QString ArgumentParser::absolute(const QString& path) const
{
    return QDir::cleanPath(QDir(workingDir_).absoluteFilePath(path));
}

bool ArgumentParser::takeOption(const QList<Argument>& arguments, qsizetype& i)
{
    const Argument& argument = arguments[i];
    for (const Option& option : options_) {
        for (const QString& name : option.names) {
            if (!option.form) {
                if (argument.text != name)
                    continue;
                if (option.seen)
                    option.seen();
                return true;
            }
            std::optional<Argument> value;
            if (argument.text == name && *option.form != Value::Joined) {
                if (i + 1 == arguments.size()) {
                    fail(missingValue_.arg(argument.text));
                    return true;
                }
                value = arguments[++i];
            } else if (argument.text.startsWith(name + u'=') && *option.form != Value::Apart) {
                value = Argument{argument.text.mid(name.size() + 1), argument.unrepresentable};
            } else {
                continue;
            }
            if (option.take)
                option.take(*value);
            return true;
        }
    }
    return false;
}

ParsedArguments ArgumentParser::parse(const QStringList& given, const QStringList& shownAs)
{
    problem_.clear();
    // Those that are not valid UTF-8 are read, and told, as shown.
    QList<Argument> arguments;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString& shown = shownAs.value(i);
        arguments << (shown.isNull() ? Argument{given[i], false} : Argument{shown, true});
    }
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const Argument& argument = arguments[i];
        if (argument.text.isEmpty())
            continue;
        if (optionsEnded || argument.text == u"-" || !argument.text.startsWith(u'-'))
            parsed.paths << Argument{absolute(argument.text), argument.unrepresentable};
        else if (argument.text == u"--")
            optionsEnded = true;
        else if (!takeOption(arguments, i))
            fail(QStringLiteral("unknown option %1").arg(argument.text));
    }
    parsed.problem = problem_;
    return parsed;
}

QStringList ProgramArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}
