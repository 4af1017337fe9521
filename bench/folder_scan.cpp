// The folder-tree scan that fills the file list, on a generated tree of
// 100,000 small files in 11,111 folders five levels deep: (a) the scan into
// the real model shown in the real view (offscreen), the event loop turned at
// every yield, against (b) `find <root> -type f` on the same tree, both with
// a warm cache; the longest time between two turns of the event loop during
// a scan; and the time and memory of 100,000 rows in the list.
#include "benchsupport.h"
#include "filelistmodel.h"
#include "filelistview.h"
#include "folderscan.h"
#include "quietdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int Rounds = 5;
constexpr int Branching = 10;    // sub-folders per folder, four levels below the top
constexpr int FilesPerLeaf = 10; // files in each of the 10,000 deepest folders
constexpr int Leaves = Branching * Branching * Branching * Branching;
constexpr int TotalFiles = Leaves * FilesPerLeaf;

// The folder of leaf `leaf` (0..9999) under `root`, four levels down.
QString leafFolder(const QString& root, int leaf)
{
    return QStringLiteral("%1/Year %2/Region %3/Branch %4/Month %5")
        .arg(root)
        .arg(2020 + leaf / 1000)
        .arg(leaf / 100 % 10 + 1)
        .arg(leaf / 10 % 10 + 1)
        .arg(leaf % 10 + 1);
}

// The name of file `k` (0..9) of a leaf: mostly .ods, some other extensions.
QString fileName(int leaf, int k)
{
    static const char* const patterns[FilesPerLeaf] = {
        "Sales report %1.ods", "Budget %1.ods",   "Inventory %1.ods", "Payroll %1.ods",
        "Expenses %1.ods",     "Forecast %1.ods", "Timesheet %1.ods", "Template %1.ots",
        "Export %1.xlsx",      "Readme %1.txt"};
    return QString::fromLatin1(patterns[k]).arg(leaf, 4, 10, QChar(u'0'));
}

QString filePath(const QString& root, int index)
{
    const int leaf = index / FilesPerLeaf;
    return leafFolder(root, leaf) + u'/' + fileName(leaf, index % FilesPerLeaf);
}

void makeTree(const QString& root)
{
    for (int leaf = 0; leaf < Leaves; ++leaf) {
        const QString folder = leafFolder(root, leaf);
        QDir().mkpath(folder);
        for (int k = 0; k < FilesPerLeaf; ++k) {
            QFile file(folder + u'/' + fileName(leaf, k));
            if (file.open(QIODevice::WriteOnly))
                file.write("PK\3\4");
        }
    }
}

// Times between the event loop's turns during one scan: from the scan's
// start to the first turn, between turns, and from the last turn to the end.
struct Gaps {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    qint64 tail = 0;
    qint64 firstAppend = -1;
    int turns = 0;

    void start()
    {
        last = longest = tail = 0;
        firstAppend = -1;
        turns = 0;
        clock.start();
    }
    // Returns the time since the previous turn (or the start).
    qint64 gap()
    {
        const qint64 now = clock.nsecsElapsed();
        const qint64 since = now - last;
        longest = std::max(longest, since);
        last = now;
        return since;
    }
    void turn()
    {
        gap();
        ++turns;
    }
    void finish() { tail = gap(); }
};

struct ScanResult {
    double ms;
    int rows;
};

// One scan from an empty model. `turnLoop` false replaces the yield by a
// no-op; `gaps`, when given, records the time between the loop's turns.
ScanResult scan(FileListModel& model, const QString& root, bool turnLoop, Gaps* gaps = nullptr)
{
    model.clear();
    QCoreApplication::processEvents();
    QuietDialogs dialogs;
    FolderScan::Yield yield;
    if (gaps)
        yield = [gaps] {
            gaps->turn();
            QCoreApplication::processEvents();
        };
    else if (turnLoop)
        yield = [] { QCoreApplication::processEvents(); };
    else
        yield = [] {};
    FolderScan folderScan(
        dialogs,
        [&model, gaps](const QString& path) {
            if (gaps && gaps->firstAppend < 0)
                gaps->firstAppend = gaps->clock.nsecsElapsed();
            model.AppendFileRow(path);
        },
        yield);
    QElapsedTimer timer;
    timer.start();
    if (gaps)
        gaps->start();
    folderScan.AddFolderTree(root, QStringLiteral("*.*"));
    if (gaps)
        gaps->finish();
    const double ms = timer.nsecsElapsed() / 1e6;
    return {ms, model.count()};
}

struct FindResult {
    double ms;
    int lines;
};

FindResult runFind(const QString& root)
{
    QProcess find;
    QElapsedTimer timer;
    timer.start();
    find.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f")});
    find.waitForFinished(-1);
    const QByteArray output = find.readAllStandardOutput();
    const double ms = timer.nsecsElapsed() / 1e6;
    return {ms, static_cast<int>(output.count('\n'))};
}

} // namespace

int main(int argc, char* argv[])
{
    BenchMain<QApplication> bench(argc, argv);
    QTextStream& out = bench.out;
    QTemporaryDir& work = bench.work;

    FileListModel model;
    model.setHeaderText(QStringLiteral("OpenOffice Calc Files"));
    FileListView view;
    view.setModel(&model);
    view.resize(520, 169); // the list's size in the main window
    view.show();
    QCoreApplication::processEvents();

    // 100,000 rows: memory first, on a heap that has not yet held a list.
    const QString homeRoot = QStringLiteral("/home/user/Documents/Spreadsheets");
    const double emptyMiB = memoryMiB(0, "VmRSS:");
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < TotalFiles; ++i)
        model.AppendFileRow(filePath(homeRoot, i));
    QCoreApplication::processEvents();
    const double firstFillMs = timer.nsecsElapsed() / 1e6;
    const double fullMiB = memoryMiB(0, "VmRSS:");

    // As long as the last row and equal to it but for the extension.
    QString missing = filePath(homeRoot, TotalFiles - 1);
    missing.replace(missing.size() - 3, 3, QStringLiteral("ods"));
    std::vector<double> containsMs;
    bool found = false;
    for (int r = 0; r < Rounds; ++r) {
        timer.start();
        found = model.ListContains(missing) || found;
        containsMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    QStringList paths;
    qsizetype pathChars = 0;
    for (int i = 0; i < TotalFiles; ++i) {
        paths << filePath(homeRoot, i);
        pathChars += paths.last().size();
    }
    std::vector<double> fillMs;
    for (int r = 0; r < Rounds; ++r) {
        model.clear();
        QCoreApplication::processEvents();
        timer.start();
        for (const QString& path : paths)
            model.AppendFileRow(path);
        QCoreApplication::processEvents();
        fillMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    // The scan against find, warm cache.
    const QString root = work.filePath(QStringLiteral("tree"));
    makeTree(root);
    scan(model, root, true);
    runFind(root);
    std::vector<double> scanMs, findMs, longestGapMs, tailMs, firstAppendMs;
    std::vector<double> noYieldMs, noViewMs, bareMs;
    ScanResult scanned{};
    FindResult listed{};
    Gaps gaps;
    for (int r = 0; r < Rounds; ++r) {
        scanned = scan(model, root, true, &gaps);
        scanMs.push_back(scanned.ms);
        longestGapMs.push_back(gaps.longest / 1e6);
        tailMs.push_back(gaps.tail / 1e6);
        firstAppendMs.push_back(gaps.firstAppend / 1e6);
        listed = runFind(root);
        findMs.push_back(listed.ms);
    }
    // Where the scan's time goes: without the loop's turns, without a view.
    for (int r = 0; r < Rounds; ++r)
        noYieldMs.push_back(scan(model, root, false).ms);
    view.setModel(nullptr);
    for (int r = 0; r < Rounds; ++r) {
        noViewMs.push_back(scan(model, root, true).ms);
        bareMs.push_back(scan(model, root, false).ms);
    }
    view.setModel(&model);

    out.setRealNumberPrecision(1);
    out << "folder_scan: " << TotalFiles << " files in " << 1 + 10 + 100 + 1000 + Leaves
        << " folders, 5 levels; medians of " << Rounds << " rounds, warm cache\n";
    out << "                               scan into view   find -type f\n";
    out << "time (ms)                      " << qSetFieldWidth(14) << median(scanMs)
        << qSetFieldWidth(0) << "   " << qSetFieldWidth(12) << median(findMs) << qSetFieldWidth(0)
        << "\n";
    out << "files found                    " << qSetFieldWidth(14) << scanned.rows
        << qSetFieldWidth(0) << "   " << qSetFieldWidth(12) << listed.lines << qSetFieldWidth(0)
        << "\n";
    out.setRealNumberPrecision(2);
    out << "ratio scan/find: " << median(scanMs) / median(findMs) << "  (target <= 3)\n";
    out.setRealNumberPrecision(1);
    out << "longest gap between event-loop turns (ms): " << median(longestGapMs) << "  (worst "
        << *std::max_element(longestGapMs.begin(), longestGapMs.end()) << ")  (target <= 100)\n";
    out << "  event-loop turns per scan: " << gaps.turns
        << "; from the last turn to the scan's end (ms): " << median(tailMs)
        << "; first row appended at (ms): " << median(firstAppendMs) << "\n";
    out << "where the scan's time goes (ms):\n";
    out << "  yield = processEvents, view attached: " << median(scanMs) << "\n";
    out << "  yield = no-op,         view attached: " << median(noYieldMs) << "\n";
    out << "  yield = processEvents, no view:       " << median(noViewMs) << "\n";
    out << "  yield = no-op,         no view:       " << median(bareMs) << "\n";

    out << "100,000 rows in the list shown in the view (paths of "
        << static_cast<double>(pathChars) / TotalFiles << " characters on average):\n";
    out << "  append into an empty model (ms): " << median(fillMs)
        << "  (target < 1000; first fill, paths built on the fly: " << firstFillMs << ")\n";
    out << "  resident memory above the empty window (MiB): " << fullMiB - emptyMiB
        << "  (target < 50; empty window " << emptyMiB << ", full " << fullMiB << ")\n";
    out.setRealNumberPrecision(3);
    out << "  ListContains of a path not in the list (ms): " << median(containsMs)
        << "  (no target given)" << (found ? "  [unexpectedly found]" : "") << "\n";
    return 0;
}
