// "Start Converting To PDF": the batch run, one numbered line per step.
#include "mainwindow.h"

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
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

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

void Form1::PushButton2_Click()
{
    NoDesktop noDesktop;
    DesktopIntegration& desktop = services_.desktop ? *services_.desktop : noDesktop;
    // Reports and "Done." call the user back to a window they left.
    AttentionDialogs dialogs(services_.dialogs, desktop);
    Guard g(dialogs, Location::PushButton2Click);
    if (g.test(100, [&] { return ConversionRunning; }))
        return;
    g.line(102, [&] { ConversionRunning = true; });
    const auto say = [&](const QString& text) {
        dialogs.message(text, ApplicationTitle(), MessageButtons::Ok, MessageIcon::None);
    };

    if (g.test(104, [&] { return fileList_->count() == 0; })) {
        g.line(176, [&] { say(QStringLiteral("No files added.")); });
    } else if (QString problem; g.test(106, [&] {
                   problem = OutputChoiceProblem(Option1->isChecked(), Option2->isChecked(),
                                                 Text1->text());
                   return !problem.isEmpty();
               })) {
        g.line(174, [&] { say(problem); });
    } else {
        int n = 0;
        OfficeOperations* office = nullptr;
        g.line(108, [&] {
            n = fileList_->count();
            office = &services_.office.operations();
        });
        if (office) {
            FileConversion file(*office, services_.runningExport);
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
        g.line(166, [&] { setPointer(Pointer::Default); });
        g.line(168, [&] { ProgressBar1->setValue(0); });
        g.line(170, [&] { ProgressBar1->setFormat(QStringLiteral("Progress Bar")); });
        g.line(172, [&] { say(QStringLiteral("Done.")); });
    }
    g.line(178, [&] { ConversionRunning = false; });
}

bool Form1::convertPosition(Guard& g, FileConversion& file, int i, QString& output)
{
    // A row removed during a yield leaves a position that no longer exists:
    // it is reported and skipped.
    QString source;
    if (!g.line(110, [&] { source = fileList_->textAt(i); }))
        return false;
    g.line(112, [&] {
        const int c = fileList_->count();
        if (c == 0)
            throw TarnwickError(QStringLiteral("Division by zero"), 11);
        ProgressBar1->setValue(qRound(static_cast<double>(i) / c * 100.0));
    });
    g.line(114,
           [&] { ProgressBar1->setFormat(QStringLiteral("Processing: ") + GetFileName(source)); });
    g.line(116, [&] { yieldToEvents(); });
    g.line(118, [&] { setPointer(Pointer::Busy); });

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
    if (g.test(120, [&] { return Option1->isChecked(); }))
        g.line(122, [&] { build(Text1->text()); });
    if (g.test(124, [&] { return Option2->isChecked(); }))
        g.line(126, [&] { build(GetFolderPart(source)); });
    if (refused)
        return false;
    // Separators become "/" for the URL; native ones already are.
    g.line(128, [&] { output.replace(NativeSeparator, u'/'); });

    const FileWaits waits{yieldToEvents,
                          [this] { PauseSeconds(PauseAfterExport, services_.clock); }};
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
