// The two command lines, the window's and --convert's, read as main() gets
// them: bytes, some of them not valid UTF-8, from the working folder /work.
#include "batchoptions.h"
#include "commandline.h"
#include "fileattributes.h"

#include <QTest>

using Arguments = QByteArrayList;
using Indexes = QList<qsizetype>;

namespace {
// The arguments as text, and for each one that is not valid UTF-8 its
// display form, as the programs read them.
struct Given {
    explicit Given(Arguments arguments) : bytes(std::move(arguments))
    {
        bytes.prepend("tarnwick");
        for (QByteArray& argument : bytes)
            argv << argument.data();
        text = ProgramArguments(int(argv.size()), argv.data());
        shownAs = UnrepresentableArguments(int(argv.size()), argv.data());
    }
    Arguments bytes;
    QList<char*> argv;
    QStringList text, shownAs;
};
} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void window_data();
    void window();
    void conversion_data();
    void conversion();
    void conversionUsageErrors_data();
    void conversionUsageErrors();
};

void CommandLineTest::window_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QStringList>("files");
    using A = CommandLine::Action;
    QTest::newRow("paths from the working folder")
        << Arguments{"a.ods", "/abs/b", "sub/../c", "", "-"} << A::Run << ""
        << QStringList{"/work/a.ods", "/abs/b", "/work/c", "/work/-"};
    QTest::newRow("after --, options are paths")
        << Arguments{"--", "-x", "--", "", "--help"} << A::Run << ""
        << QStringList{"/work/-x", "/work/--", "/work/--help"};
    QTest::newRow("Qt's options and their values")
        << QByteArray("-platform xcb --title --help -reverse --nograb -style=fusion "
                      "--stylesheet=x.qss -style s -qmljsdebugger=port:1 a.ods")
               .split(' ')
        << A::Run << "" << QStringList{"/work/a.ods"};
    QTest::newRow("Qt's value missing")
        << Arguments{"a.ods", "-title"} << A::Wrong << "option -title needs a value"
        << QStringList{"/work/a.ods"};
    QTest::newRow("Qt's value is never joined") << Arguments{"-platform=xcb"} << A::Wrong
                                                << "unknown option -platform=xcb" << QStringList{};
    QTest::newRow("Qt's joined value is never apart")
        << Arguments{"-qmljsdebugger", "x"} << A::Wrong << "unknown option -qmljsdebugger"
        << QStringList{"/work/x"};
    QTest::newRow("the first problem is told")
        << Arguments{"--bogus", "--convert", "-title"} << A::Wrong << "unknown option --bogus"
        << QStringList{};
    QTest::newRow("help wins") << Arguments{"--bogus", "-v", "-?"} << A::Help << ""
                               << QStringList{};
    QTest::newRow("version wins over a wrong option")
        << Arguments{"--version", "--bogus"} << A::Version << "" << QStringList{};
    QTest::newRow("no option takes =")
        << Arguments{"--help=x"} << A::Wrong << "unknown option --help=x" << QStringList{};
    QTest::newRow("an option not valid UTF-8")
        << Arguments{"--\xff"} << A::Wrong << "unknown option --\\xFF" << QStringList{};
}

void CommandLineTest::window()
{
    QFETCH(Arguments, arguments);
    const Given given(arguments);
    const CommandLine line = ParseCommandLine(given.text, "/work", given.shownAs);
    QTEST(line.action, "action");
    if (line.action == CommandLine::Action::Wrong)
        QTEST(line.problem, "problem");
    QTEST(line.files, "files");
}

void CommandLineTest::conversion_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<Indexes>("unrepresentable");
    QTest::addColumn<QString>("outputDir");
    QTest::addColumn<int>("jobs");
    QTest::newRow("paths from the working folder")
        << Arguments{"--convert", "a.ods", "", "-", "/b", "--", "--jobs"}
        << QStringList{"/work/a.ods", "/work/-", "/b", "/work/--jobs"} << Indexes{} << "" << 0;
    QTest::newRow("values apart") << Arguments{"--convert", "--output-dir", "out", "--jobs", "3",
                                               "x"}
                                  << QStringList{"/work/x"} << Indexes{} << "/work/out" << 3;
    QTest::newRow("values joined")
        << Arguments{"--output-dir=/o/../p", "--jobs=2", "x", "--convert"} << QStringList{"/work/x"}
        << Indexes{} << "/p" << 2;
    QTest::newRow("paths not valid UTF-8")
        << Arguments{"--convert", "\xff.ods", "a.ods", "--", "-\xfe"}
        << QStringList{"/work/\\xFF.ods", "/work/a.ods", "/work/-\\xFE"} << Indexes{0, 2} << ""
        << 0;
}

void CommandLineTest::conversion()
{
    QFETCH(Arguments, arguments);
    const Given given(arguments);
    const BatchOptions options = ParseBatchOptions(given.text, "/work", given.shownAs);
    QCOMPARE(options.usageError, QString());
    QTEST(options.paths, "paths");
    QTEST(options.unrepresentable, "unrepresentable");
    QTEST(options.outputDir, "outputDir");
    QTEST(options.jobs, "jobs");
}

void CommandLineTest::conversionUsageErrors_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("no path") << Arguments{"--convert"}
                             << "--convert needs at least one file or folder";
    QTest::newRow("value missing")
        << Arguments{"--convert", "x", "--jobs"} << "--jobs needs a value";
    QTest::newRow("empty folder") << Arguments{"--convert", "--output-dir=", "x"}
                                  << "--output-dir needs a folder";
    QTest::newRow("a value is the next argument, whatever it is")
        << Arguments{"--convert", "--jobs", "--output-dir", "x"}
        << "--jobs needs a whole number of 1 or more, not '--output-dir'";
    QTest::newRow("the first problem is told")
        << Arguments{"--convert", "--bogus", "--jobs", "0"} << "unknown option --bogus";
    QTest::newRow("no value for --convert")
        << Arguments{"--convert=yes", "x"} << "unknown option --convert=yes";
    QTest::newRow("Qt's options are the window's")
        << Arguments{"--convert", "-platform", "xcb"} << "unknown option -platform";
    QTest::newRow("folder not valid UTF-8")
        << Arguments{"--convert", "--output-dir", "\xfe", "x"}
        << "--output-dir needs a folder whose name is valid UTF-8, not '\\xFE'";
    QTest::newRow("joined folder not valid UTF-8")
        << Arguments{"--convert", "--output-dir=\xfe", "x"}
        << "--output-dir needs a folder whose name is valid UTF-8, not '\\xFE'";
    QTest::newRow("an option not valid UTF-8")
        << Arguments{"--convert", "--\xff", "x"} << "unknown option --\\xFF";
    const QString shard = "--shard needs K/N, whole numbers with 1 <= K <= N, not '%1'";
    for (const char* share : {"3/2", "0/2", "1", "a/b"})
        QTest::addRow("--shard %s", share)
            << Arguments{"--convert", "--shard", share, "x"} << shard.arg(share);
    QTest::newRow("--timeout 0") << Arguments{"--convert", "--timeout=0", "x"}
                                 << "--timeout needs a whole number of seconds, 1 or more, not '0'";
    QTest::newRow("a list is a path enough")
        << Arguments{"--convert", "--null", "--files-from", "-"} << "";
    QTest::newRow("--report needs a file") << Arguments{"--convert", "--report=", "x"}
                                           << "--report needs a file whose name is valid "
                                              "UTF-8, or -";
}

void CommandLineTest::conversionUsageErrors()
{
    QFETCH(Arguments, arguments);
    const Given given(arguments);
    QTEST(ParseBatchOptions(given.text, "/work", given.shownAs).usageError, "error");
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
