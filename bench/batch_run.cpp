// The batch run as a user starts it: the real window (offscreen), the real
// office, 20 small files with the two-second pause after each export. Prints
// the run's wall time against its floor (the pauses plus the office's own
// work for the same files), the tool's CPU time, the office's memory, and the
// office's memory over 300 files converted back to back.
#include "benchsupport.h"
#include "clock.h"
#include "fileconversion.h"
#include "filelistmodel.h"
#include "mainwindow.h"
#include "officelink.h"
#include "officesession.h"
#include "pdfprofilesettings.h"
#include "quietdialogs.h"
#include "settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTextStream>

#include <sys/resource.h>

namespace {

constexpr int Files = 20;
constexpr int LongRun = 300;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    BenchMain<QApplication> bench(argc, argv);
    QTextStream& out = bench.out;
    QTemporaryDir& work = bench.work;
    const QStringList files = makeSampleCopies(work.filePath("in"), Files);
    const QString pdfDir = work.filePath("out");
    QDir().mkpath(pdfDir);

    QuietDialogs dialogs;
    SettingsStore settings(work.filePath("Tarnwick.conf"));
    SystemClock clock;
    UnoOfficeLink office(DefaultOfficeProgramDirs(), work.filePath("profiles"), {},
                         WritePdfExportSettings);
    Form1 window({dialogs, settings, clock, office, QCoreApplication::applicationDirPath(),
                  [&] { return pdfDir + "/"; }, [] {}});
    if (!window.Form_Load())
        return 1;
    window.show();

    // The office's own work for the same files: the engine without the
    // pause, on the warm office.
    OfficeOperations& engine = office.operations();
    ConvertFile(engine, files[0], pdfDir + "/warmup.pdf");
    QElapsedTimer direct;
    direct.start();
    for (const QString& file : files)
        ConvertFile(engine, file, pdfDir + "/direct.pdf");
    const double officeWorkMs = direct.nsecsElapsed() / 1e6;

    for (const QString& file : files)
        window.fileList().AppendFileRow(file);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    window.findChild<QPushButton*>("PushButton2")->click();
    const double runMs = wall.nsecsElapsed() / 1e6;
    const double cpuMs = (cpuSeconds() - cpuBefore) * 1000.0;
    const pid_t officePid = office.session()->officePid();
    const double officeMiB = memoryMiB(officePid, "VmRSS:");

    const double floorMs = Files * 2000.0 + officeWorkMs;
    out.setRealNumberPrecision(1);
    out << "batch_run: " << Files << " small files through the window, 2 s pause each\n";
    out << "run wall time (ms):                 " << runMs << "\n";
    out << "floor: 20 x 2 s + office work (ms): " << floorMs << "  (office work " << officeWorkMs
        << ")\n";
    out << "overhead per file beyond floor (ms): " << (runMs - floorMs) / Files
        << "  (target <= 50)\n";
    out << "tool CPU time during the run (ms):   " << cpuMs << "  = ";
    out.setRealNumberPrecision(2);
    out << 100.0 * cpuMs / runMs << "% of wall time  (target < 5%)\n";
    out.setRealNumberPrecision(1);
    out << "office resident memory at the end (MiB): " << officeMiB << "\n";
    out << "messages: " << dialogs.messages.join(" | ") << "\n";

    // The office's memory over a long run, files back to back.
    const QStringList many = makeSampleCopies(work.filePath("many"), LongRun);
    out << "office memory over " << LongRun << " files (RSS MiB after n files):\n";
    double after20 = 0;
    for (int i = 0; i < LongRun; ++i) {
        ConvertFile(engine, many[i], pdfDir + "/many.pdf");
        const int n = i + 1;
        if (n == 1 || n % 20 == 0) {
            const double rss = memoryMiB(office.session()->officePid(), "VmRSS:");
            if (n == 20)
                after20 = rss;
            out << "  " << n << ": " << rss << "\n";
        }
    }
    const double end = memoryMiB(office.session()->officePid(), "VmRSS:");
    out.setRealNumberPrecision(2);
    out << "growth from file 20 to file " << LongRun << ": " << (end / after20 - 1.0) * 100.0
        << "%  (recycle the office if over 50%)\n";
    out << "office launches: " << office.session()->launches() << "\n";
    return 0;
}
