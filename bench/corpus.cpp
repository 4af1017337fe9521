// Converts every spreadsheet of a folder (a) through Tarnwick's engine with a
// warm office, without the run's fixed pause, and (b) with
// `soffice --headless --convert-to pdf`, one call per file; prints per file
// whether each side converted, the pages and text of both PDFs and the
// times, then one summary line. Some files take minutes: not a test. Our
// side's limit is the watchdog's longest call, so a file may take up to
// about twice the limit there (load, then export).
//
//   corpus <folder> [--limit SECONDS] [--keep DIR]
#include "benchsupport.h"
#include "brokenpipes.h"
#include "errors.h"
#include "fileconversion.h"
#include "officelocator.h"
#include "officesession.h"
#include "outputpath.h"
#include "pdfprofilesettings.h"
#include "pdftools.h"
#include "unooffice.h"
#include "unostring.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

#include <chrono>

namespace {

constexpr int DefaultLimitSeconds = 120;
constexpr int MessageWidth = 110;

struct Side {
    bool ok = false;
    bool timedOut = false;
    // An exception that the engine should never let out.
    bool bug = false;
    double ms = 0;
    int pages = -1;
    QString text;
    QString message;
    QStringList leftovers;
};

QStringList spreadsheetsIn(const QString& folder)
{
    const QStringList types{"ods", "ots", "sxc", "stc"};
    QStringList files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        if (info.isFile() && types.contains(info.suffix().toLower()))
            files << info.absoluteFilePath();
    return files;
}

// Everything in a folder, hidden files included.
QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

QString freshDir(const QString& path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

// Our messages name the source and the PDF in full; the table has the file
// name already.
QString shortened(QString message, const QString& source, const QString& pdf)
{
    message.replace(pdf, QStringLiteral("<pdf>")).replace(source, QFileInfo(source).fileName());
    return message.size() > MessageWidth ? message.left(MessageWidth - 3) + "..." : message;
}

void readPdf(Side& side, const QString& pdf, int limitMs)
{
    side.pages = fixtures::pdfPages(pdf, limitMs);
    side.text = fixtures::pdfText(pdf, limitMs);
}

Side convertOurs(UnoOffice& office, const QString& source, const QString& dir)
{
    Side side;
    const QString pdf = OutputPathFor(source, dir, u'/');
    QElapsedTimer t;
    t.start();
    try {
        ConvertFile(office, source, pdf);
        side.ok = true;
    } catch (const TarnwickError& e) {
        side.message = e.description();
    } catch (const css::uno::Exception& e) {
        side.bug = true;
        side.message = "BUG: office exception got through: " + toQString(e.Message);
    } catch (const std::exception& e) {
        side.bug = true;
        side.message = QStringLiteral("BUG: exception got through: ") + e.what();
    } catch (...) {
        side.bug = true;
        side.message = QStringLiteral("BUG: unknown exception got through");
    }
    side.ms = t.nsecsElapsed() / 1e6;
    side.message = shortened(side.message, source, pdf);
    // A failed file must leave nothing; a converted one its PDF only.
    side.leftovers = entriesOf(dir);
    if (side.ok)
        side.leftovers.removeOne(QFileInfo(pdf).fileName());
    return side;
}

QStringList convertToArgs(const QString& profile, const QString& dir, const QString& source)
{
    return {"-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
            "--headless",
            "--convert-to",
            "pdf",
            "--outdir",
            dir,
            source};
}

Side convertTheirs(const QString& profile, const QString& source, const QString& dir, int limitMs)
{
    Side side;
    const CommandResult r =
        runCommand(QStringLiteral("soffice"), convertToArgs(profile, dir, source), limitMs);
    const QFileInfo pdf(OutputPathFor(source, dir, u'/'));
    side.ms = r.ms;
    side.timedOut = r.timedOut;
    side.ok = !r.timedOut && r.exitCode == 0 && pdf.exists() && pdf.size() > 0;
    if (!side.ok) {
        // The script's javaldx warning comes with every call; it says nothing.
        QStringList said = QString::fromLocal8Bit(r.err + r.out).split('\n');
        said.removeIf([](const QString& l) { return l.contains("javaldx") || l.isEmpty(); });
        side.message =
            r.timedOut
                ? QStringLiteral("killed after the limit")
                : QStringLiteral("exit %1: %2").arg(r.exitCode).arg(said.join(' ').simplified());
        side.message = shortened(side.message, source, pdf.filePath());
    }
    return side;
}

QString number(double v)
{
    return QString::number(v, 'f', 1);
}

QString pagesOf(const Side& s)
{
    return s.ok ? QString::number(s.pages) : QStringLiteral("-");
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program does at its start: a session's office may end while
    // its pipe is written to.
    IgnoreBrokenPipes();
    BenchMain<QCoreApplication> bench(argc, argv);
    QTextStream& out = bench.out;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Converts every spreadsheet of a folder with our engine and with soffice --convert-to");
    parser.addHelpOption();
    parser.addPositionalArgument("folder", "the folder of .ods, .ots, .sxc and .stc files");
    const QCommandLineOption limitOption(
        "limit", QStringLiteral("per-file limit (default %1)").arg(DefaultLimitSeconds), "seconds",
        QString::number(DefaultLimitSeconds));
    const QCommandLineOption keepOption("keep", "keep the PDFs and texts in this folder", "dir");
    parser.addOption(limitOption);
    parser.addOption(keepOption);
    parser.process(bench.app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    bool limitOk = false;
    const int limitSeconds = parser.value(limitOption).toInt(&limitOk);
    if (!limitOk || limitSeconds <= 0)
        qFatal("--limit wants a positive number of seconds");
    const int limitMs = limitSeconds * 1000;

    const QStringList sources = spreadsheetsIn(parser.positionalArguments().first());
    const auto installation = LocateOffice();
    if (!installation)
        qFatal("no office installation");

    const QString work = parser.isSet(keepOption) ? QDir(parser.value(keepOption)).absolutePath()
                                                  : bench.work.path();
    for (const char* sub : {"ours", "theirs", "text", "warm-up"})
        freshDir(work + '/' + sub);
    QElapsedTimer total;
    total.start();

    // Both sides warm: our office started and used once, the soffice
    // profile made by a first call.
    const QString sample = QStringLiteral(TW_SOURCE_DIR "/Samples/Sales Report.ods");
    WatchLimits limits;
    limits.longest = std::chrono::seconds(limitSeconds);
    OfficeSession session(*installation, work + "/profiles", limits);
    session.setProfileSetup(WritePdfExportSettings);
    session.startInBackground();
    UnoOffice office(session);
    try {
        ConvertFile(office, sample, work + "/warm-up/ours.pdf");
    } catch (const TarnwickError& e) {
        qFatal("our engine failed on the sample: %s", qPrintable(e.description()));
    }
    const QString profile = work + "/soffice-profile";
    const Side warm = convertTheirs(profile, sample, freshDir(work + "/warm-up/theirs"), limitMs);
    if (!warm.ok)
        qFatal("soffice --convert-to failed on the sample: %s", qPrintable(warm.message));

    int nameWidth = 0;
    for (const QString& s : sources)
        nameWidth = std::max(nameWidth, int(QFileInfo(s).fileName().size()));
    out << "corpus: " << sources.size() << " files of " << parser.positionalArguments().first()
        << ", limit " << limitSeconds << " s per file, work folder " << work << Qt::endl;

    int both = 0, same = 0, onlyOurs = 0, onlyTheirs = 0, neither = 0;
    int oursFailed = 0, leftFiles = 0, bugs = 0, oursExtra = 0;
    std::vector<double> oursBoth, theirsBoth, oursAll, theirsAll;
    for (int i = 0; i < sources.size(); ++i) {
        const QString& source = sources[i];
        const QString tag = QStringLiteral("%1").arg(i + 1, 3, 10, QChar('0'));
        Side ours = convertOurs(office, source, freshDir(work + "/ours/" + tag));
        if (ours.ok)
            readPdf(ours, OutputPathFor(source, work + "/ours/" + tag, u'/'), limitMs);
        const QString theirsDir = freshDir(work + "/theirs/" + tag);
        Side theirs = convertTheirs(profile, source, theirsDir, limitMs);
        if (theirs.ok)
            readPdf(theirs, OutputPathFor(source, theirsDir, u'/'), limitMs);

        for (const auto& [side, name] : {std::pair{&ours, "ours"}, {&theirs, "theirs"}}) {
            QFile text(work + "/text/" + tag + '.' + name + ".txt");
            if (side->ok && text.open(QIODevice::WriteOnly))
                text.write(side->text.toUtf8() + '\n');
        }

        QString equal = QStringLiteral("-");
        oursAll.push_back(ours.ms);
        theirsAll.push_back(theirs.ms);
        if (ours.ok && theirs.ok) {
            ++both;
            const bool textSame = ours.text == theirs.text;
            equal = textSame ? QStringLiteral("yes") : QStringLiteral("no");
            same += textSame && ours.pages == theirs.pages;
            oursBoth.push_back(ours.ms);
            theirsBoth.push_back(theirs.ms);
        } else if (ours.ok) {
            ++onlyOurs;
        } else if (theirs.ok) {
            ++onlyTheirs;
        } else {
            ++neither;
        }
        bugs += ours.bug;
        if (!ours.ok) {
            ++oursFailed;
            leftFiles += !ours.leftovers.isEmpty();
        } else {
            oursExtra += !ours.leftovers.isEmpty();
        }

        QString line = QStringLiteral("%1 %2 ours %3 theirs %4 pages %5 text %6 ms %7")
                           .arg(tag, QFileInfo(source).fileName().leftJustified(nameWidth),
                                QString(ours.ok ? "ok" : "FAIL").leftJustified(4),
                                QString(theirs.ok         ? "ok"
                                        : theirs.timedOut ? "TIMEOUT"
                                                          : "FAIL")
                                    .leftJustified(7),
                                (pagesOf(ours) + '/' + pagesOf(theirs)).leftJustified(11),
                                equal.leftJustified(3),
                                (number(ours.ms) + '/' + number(theirs.ms)).leftJustified(17));
        if (!ours.ok)
            line += "  ours: " + ours.message;
        if (!ours.leftovers.isEmpty())
            line += "  LEFT: " + ours.leftovers.join(", ");
        if (!theirs.ok)
            line += "  theirs: " + theirs.message;
        out << line << Qt::endl;
    }
    session.shutdown();

    const double oursMedian = median(oursBoth), theirsMedian = median(theirsBoth);
    const double ratio = theirsMedian > 0 ? oursMedian / theirsMedian : 0;
    out.setRealNumberPrecision(1);
    out << "\n                                       ours (a)   soffice --convert-to (b)   "
           "ratio (a)/(b)\n";
    out << "median ms, files both converted (" << qSetFieldWidth(3) << both << qSetFieldWidth(0)
        << ") " << qSetFieldWidth(9) << oursMedian << qSetFieldWidth(0) << "   "
        << qSetFieldWidth(9) << theirsMedian << qSetFieldWidth(0) << "                  ";
    out.setRealNumberPrecision(2);
    out << ratio << "\n";
    out.setRealNumberPrecision(1);
    out << "median ms, all files (" << qSetFieldWidth(3) << sources.size() << qSetFieldWidth(0)
        << ")            " << qSetFieldWidth(9) << median(oursAll) << qSetFieldWidth(0) << "   "
        << qSetFieldWidth(9) << median(theirsAll) << qSetFieldWidth(0) << "\n"
        << Qt::endl;

    out << "corpus: " << sources.size() << " files; both converted " << both
        << " (same pages and text " << same << "); only theirs " << onlyTheirs << "; only ours "
        << onlyOurs << "; neither " << neither << "; ours failed " << oursFailed
        << " (failed cleanly " << oursFailed - leftFiles << ", left files " << leftFiles
        << "); converted with extra files " << oursExtra << "; engine bugs " << bugs
        << "; median ms ours " << oursMedian << " theirs " << theirsMedian;
    out.setRealNumberPrecision(2);
    out << " ratio " << ratio;
    out.setRealNumberPrecision(0);
    out << "; total s " << total.nsecsElapsed() / 1e9 << Qt::endl;
    return bugs ? 1 : 0;
}
