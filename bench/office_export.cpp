// Converts the same 20 small spreadsheets (a) through Tarnwick's engine with
// a warm office, without the run's fixed pause, and (b) with
// `soffice --headless --convert-to pdf` on its own profile, and prints the
// figures side by side.
#include "benchsupport.h"
#include "brokenpipes.h"
#include "fileconversion.h"
#include "officelocator.h"
#include "officesession.h"
#include "pdfprofilesettings.h"
#include "unooffice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Files = 20;
constexpr int Repeats = 9;

QString pdfOf(const QString& dir, const QString& source)
{
    return dir + '/' + QFileInfo(source).completeBaseName() + ".pdf";
}

double timeSofficeCall(const QString& profile, const QStringList& files, const QString& outDir)
{
    QStringList args{"-env:UserInstallation=file://" + profile,
                     "--headless",
                     "--convert-to",
                     "pdf",
                     "--outdir",
                     outDir};
    args += files;
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("soffice", args);
    p.waitForFinished(600000);
    const double ms = t.nsecsElapsed() / 1e6;
    if (p.exitCode() != 0 || !QFileInfo::exists(pdfOf(outDir, files.last())))
        qFatal("soffice --convert-to failed: %s", p.readAll().constData());
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program does at its start: a session's office may end while
    // its pipe is written to.
    IgnoreBrokenPipes();
    BenchMain<QCoreApplication> bench(argc, argv);
    QTextStream& out = bench.out;
    QTemporaryDir& work = bench.work;
    const auto installation = LocateOffice();
    if (!installation)
        qFatal("no office installation");

    const QString in = work.filePath("in");
    const QStringList sources = makeSampleCopies(in, Files);

    // (a) Our engine. A first session sets the profile up; the cold start is
    // then measured as a user sees it: a new session on an existing profile.
    const QString ours = work.filePath("ours");
    QDir().mkpath(ours);
    {
        OfficeSession setup(*installation, work.filePath("profiles"));
        setup.setProfileSetup(WritePdfExportSettings);
        UnoOffice office(setup);
        ConvertFile(office, sources[0], pdfOf(ours, sources[0]));
    }
    QElapsedTimer cold;
    cold.start();
    OfficeSession session(*installation, work.filePath("profiles"));
    session.setProfileSetup(WritePdfExportSettings);
    session.startInBackground();
    UnoOffice office(session);
    ConvertFile(office, sources[0], pdfOf(ours, sources[0]));
    const double coldFirstMs = cold.nsecsElapsed() / 1e6;

    std::vector<double> perFile;
    for (int round = 0; round < Repeats; ++round) {
        for (const QString& source : sources) {
            QElapsedTimer t;
            t.start();
            ConvertFile(office, source, pdfOf(ours, source));
            perFile.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    const double oursMedian = median(perFile);
    const double officePeak = memoryMiB(session.officePid(), "VmHWM:");
    session.shutdown();

    // (b) soffice --convert-to, its own profile, after one warm-up call.
    const QString theirs = work.filePath("theirs");
    const QString profile = work.filePath("soffice-profile");
    timeSofficeCall(profile, {sources[0]}, theirs);
    std::vector<double> all, one;
    for (int round = 0; round < Repeats; ++round) {
        all.push_back(timeSofficeCall(profile, sources, theirs));
        one.push_back(timeSofficeCall(profile, {sources[0]}, theirs));
    }
    const double callPerFile = median(all) / Files;
    const double marginal = (median(all) - median(one)) / (Files - 1);

    out.setRealNumberPrecision(1);
    out << "office_export: " << Files << " small files, medians of " << Repeats << " rounds\n";
    out << "                                     ours (a)   soffice --convert-to (b)\n";
    out << "time per file (ms)                  " << qSetFieldWidth(9) << oursMedian
        << qSetFieldWidth(0) << "   " << qSetFieldWidth(9) << callPerFile << qSetFieldWidth(0)
        << "  (20-file call / 20)\n";
    out << "marginal cost per file (ms)                    " << qSetFieldWidth(9) << marginal
        << qSetFieldWidth(0) << "  ((20-file - 1-file call) / 19)\n";
    out << "1-file call (ms)                               " << qSetFieldWidth(9) << median(one)
        << qSetFieldWidth(0) << "\n";
    out.setRealNumberPrecision(2);
    out << "ratio (a)/(b) per file: " << oursMedian / callPerFile
        << "   ratio (a)/(b) marginal: " << oursMedian / marginal << "  (target <= 1.25)\n";
    out.setRealNumberPrecision(1);
    out << "first file after a cold start of the tool (ms): " << coldFirstMs << "\n";
    out << "office peak memory after " << Files * Repeats + 2 << " files (MiB): " << officePeak
        << "\n";
    return 0;
}
