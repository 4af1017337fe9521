#include "conversionrun.h"

#include "apptitle.h"
#include "desktopintegration.h"
#include "dialogs.h"
#include "errors.h"
#include "fileconversion.h"
#include "filelistmodel.h"
#include "guard.h"
#include "locations.h"
#include "officelink.h"
#include "outputpath.h"
#include "pause.h"
#include "pdftarget.h"

#include <QCoreApplication>

#include <iterator>

namespace {
constexpr double PauseAfterExport = 2.0;

void yieldToEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The run's line number of each per-file step, in the steps' order.
constexpr int StepLines[] = {130, 132, 134, 136, 138, 140, 142, 144, 146,
                             148, 150, 152, 154, 156, 158, 160, 162};
static_assert(std::size(StepLines) == static_cast<size_t>(FileStep::Release) + 1);

int LineOf(FileStep step)
{
    return StepLines[static_cast<int>(step)];
}
} // namespace

ConversionRun::ConversionRun(Needs needs, QObject* parent)
    : QObject(parent), needs_(std::move(needs))
{
}

void ConversionRun::start()
{
    NoDesktop noDesktop;
    DesktopIntegration& desktop = needs_.desktop ? *needs_.desktop : noDesktop;
    // Reports and "Done." call the user back to a window they left.
    AttentionDialogs dialogs(needs_.dialogs, desktop);
    Guard g(dialogs, Location::PushButton2Click);
    if (g.test(100, [&] { return ConversionRunning; }))
        return;
    g.line(102, [&] { ConversionRunning = true; });
    const auto say = [&](const QString& text) {
        dialogs.message(text, ApplicationTitle(), MessageButtons::Ok, MessageIcon::None);
    };

    if (g.test(104, [&] { return needs_.files.count() == 0; })) {
        g.line(176, [&] { say(QStringLiteral("No files added.")); });
    } else if (QString problem; g.test(106, [&] {
                   const OutputChoice choice = needs_.outputChoice();
                   problem =
                       OutputChoiceProblem(choice.intoFolder, choice.besideSource, choice.folder);
                   return !problem.isEmpty();
               })) {
        g.line(174, [&] { say(problem); });
    } else {
        convertAll(g, desktop);
        g.line(166, [&] { emit busyChanged(false); });
        g.line(168, [&] { emit progressChanged(0); });
        g.line(170, [&] { emit progressTextChanged(QStringLiteral("Progress Bar")); });
        g.line(172, [&] { say(QStringLiteral("Done.")); });
    }
    g.line(178, [&] { ConversionRunning = false; });
}

void ConversionRun::convertAll(Guard& g, DesktopIntegration& desktop)
{
    int n = 0;
    OfficeOperations* office = nullptr;
    g.line(108, [&] {
        n = needs_.files.count();
        office = &needs_.office.operations();
    });
    if (!office)
        return;
    FileConversion file(*office, needs_.runningExport);
    RunSummary summary{n, 0, QString()};
    desktop.runStarted(n);
    for (int i = 1; i <= n; ++i) {
        QString output;
        summary.converted += convertPosition(g, file, i, output) ? 1 : 0;
        if (i == 1)
            summary.outputFolder = GetFolderPart(output, u'/');
        desktop.progress(i, n);
        g.line(164, [] {});
    }
    file.releaseAll();
    desktop.runEnded(summary);
}

bool ConversionRun::convertPosition(Guard& g, FileConversion& file, int i, QString& output)
{
    // A row removed during a yield leaves a position that no longer exists:
    // it is reported and skipped.
    QString source;
    if (!g.line(110, [&] { source = needs_.files.textAt(i); }))
        return false;
    g.line(112, [&] {
        const int c = needs_.files.count();
        if (c == 0)
            throw TarnwickError(QStringLiteral("Division by zero"), DivisionByZero);
        emit progressChanged(qRound(static_cast<double>(i) / c * 100.0));
    });
    g.line(114,
           [&] { emit progressTextChanged(QStringLiteral("Processing: ") + GetFileName(source)); });
    g.line(116, [&] { yieldToEvents(); });
    g.line(118, [&] { emit busyChanged(true); });

    // A PDF that would be written over its own source (a PDF in the list,
    // or a link to the spreadsheet where the PDF goes) is reported once, at
    // the line that built its path, and the file goes no further.
    bool refused = false;
    const auto build = [&](const QString& folder) {
        output = OutputPathFor(source, folder);
        refused = false;
        try {
            RefuseSourceAsPdf(source, output);
        } catch (const TarnwickError&) {
            refused = true;
            throw;
        }
    };
    if (g.test(120, [&] { return needs_.outputChoice().intoFolder; }))
        g.line(122, [&] { build(needs_.outputChoice().folder); });
    if (g.test(124, [&] { return needs_.outputChoice().besideSource; }))
        g.line(126, [&] { build(GetFolderPart(source)); });
    if (refused)
        return false;
    // Separators become "/" for the URL; native ones already are.
    g.line(128, [&] { output.replace(NativeSeparator, u'/'); });

    const FileWaits waits{yieldToEvents, [this] { PauseSeconds(PauseAfterExport, needs_.clock); }};
    bool verified = false;
    RunFileSteps(file, source, output, waits,
                 [&](FileStep step, const std::function<void()>& action) {
                     const bool done = g.line(LineOf(step), action);
                     // The export ends only once its PDF was found written.
                     if (step == FileStep::Export)
                         verified = done;
                 });
    return verified;
}
