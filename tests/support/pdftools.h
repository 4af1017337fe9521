#pragma once

// What poppler's tools read from a PDF: for the tests and the benchmarks.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <thread>

namespace fixtures {

// The standard output of a poppler tool; "" when it did not finish within
// limitMs. QProcess starts its child with clone(CLONE_VM | CLONE_VFORK),
// which ThreadSanitizer does not model: the child runs on the calling
// thread's sanitizer state, and that thread's later hand-offs to the office
// thread would be reported as races. So the child is started from a thread
// that ends right after it.
inline QByteArray popplerOutput(const QString& tool, const QStringList& args, int limitMs)
{
    QByteArray out;
    std::thread starter([&] {
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(limitMs)) {
            p.kill();
            p.waitForFinished(-1);
            return;
        }
        out = p.readAllStandardOutput();
    });
    starter.join();
    return out;
}

// A PDF's text as pdftotext reads it, runs of white space made one space;
// "" when it cannot be read.
inline QString pdfText(const QString& pdf, int limitMs = 60000)
{
    return QString::fromUtf8(
               popplerOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, limitMs))
        .simplified();
}

// The page count from pdfinfo's "Pages:" line; -1 when it has none.
inline int pdfPages(const QString& pdf, int limitMs = 60000)
{
    for (const QByteArray& line :
         popplerOutput(QStringLiteral("pdfinfo"), {pdf}, limitMs).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace fixtures
