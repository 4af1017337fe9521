// The program as the user starts it. The real program (tarnwick.bin beside
// this file) links the office's libraries and so cannot even be loaded when
// no office is installed. This launcher links none of them, and only Qt Core:
// it answers --help, --version and a wrong option, looks for the office,
// asks the start-up question (from a module of its own) when there is none,
// and otherwise replaces itself with the real program, keeping its process
// and arguments. For --convert it answers a wrong command line and a missing
// office itself.
#include "batchoptions.h"
#include "commandline.h"
#include "officelocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {
// The folder of the launcher's own file, links resolved: the bin/ link of
// an installed copy points into its program folder.
QString programDir()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

int becomeRealProgram(char* argv[])
{
    const QByteArray program = QFile::encodeName(programDir() + QStringLiteral("/tarnwick.bin"));
    ::execv(program.constData(), argv);
    std::fprintf(stderr, "tarnwick: cannot start %s: %s\n", program.constData(),
                 std::strerror(errno));
    return 127;
}

// A script gets its answer on standard error, never the window's question:
// the exit status, or nothing when the real program is to convert.
std::optional<int> answerConversion(const QStringList& arguments)
{
    const QString usageError = ParseBatchOptions(arguments, QDir::currentPath()).usageError;
    if (!usageError.isEmpty()) {
        PrintUsageError(usageError);
        return BatchExit::UsageError;
    }
    if (!LocateOffice()) {
        PrintNoOffice();
        return BatchExit::NoOffice;
    }
    return std::nullopt;
}

using AskForOffice = int (*)(int, char*[]);
} // namespace

int main(int argc, char* argv[])
{
    // Before the office and a display are needed.
    const QStringList arguments = ProgramArguments(argc, argv);
    if (const auto exitCode = AsksForConversion(arguments)
                                  ? answerConversion(arguments)
                                  : AnswerWithoutWindow(ParseCommandLine(arguments, {})))
        return *exitCode;
    if (LocateOffice())
        return becomeRealProgram(argv);

    QLibrary question(programDir() + QStringLiteral("/libtarnwick-question.so"));
    const auto ask = reinterpret_cast<AskForOffice>(question.resolve("tarnwick_ask_for_office"));
    if (!ask) {
        std::fprintf(stderr, "tarnwick: %s\n", qPrintable(question.errorString()));
        return 1;
    }
    if (ask(argc, argv))
        return becomeRealProgram(argv); // installed in the meantime
    return 0;
}
