#include "officefixtures.h"

#include "fileurl.h"
#include "officesession.h"
#include "propertyvalue.h"
#include "unostring.h"

#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QThread>

#include <csignal>
#include <stdexcept>
#include <unistd.h>

using namespace css;

namespace fixtures {

QString samplesDir()
{
    return QStringLiteral(TW_SOURCE_DIR "/Samples");
}

void writeTruncatedCopy(const QString& source, const QString& target)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot copy fixture");
    const QByteArray all = in.readAll();
    out.write(all.left(all.size() / 2));
}

void writeTextFile(const QString& target, const QByteArray& content)
{
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write fixture");
    out.write(content);
}

void writeMinimalPdf(const QString& target)
{
    const QByteArray stream = "BT /F1 24 Tf 72 720 Td (Tarnwick fixture PDF) Tj ET";
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    writeTextFile(target, pdf);
}

QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QString name = base.relativeFilePath(entry.filePath());
        if (entry.isSymLink()) {
            entries.insert(name, "link to " + entry.symLinkTarget().toUtf8());
        } else if (entry.isFile()) {
            QFile file(entry.filePath());
            if (file.open(QIODevice::ReadOnly))
                entries.insert(name,
                               QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
        }
    }
    return entries;
}

void writePasswordProtectedCopy(OfficeSession& session, const QString& source,
                                const QString& target, const QString& password)
{
    const auto desktop = frame::Desktop::create(session.context());
    const auto doc = desktop->loadComponentFromURL(
        toOUString(FileUrlFromPath(source)), "_blank", 0,
        SequenceOf({CreatePropertyValue(QStringLiteral("Hidden"), uno::Any(true))}));
    uno::Reference<frame::XStorable>(doc, uno::UNO_QUERY_THROW)
        ->storeToURL(toOUString(FileUrlFromPath(target)),
                     SequenceOf({CreatePropertyValue(QStringLiteral("FilterName"),
                                                     uno::Any(rtl::OUString("calc8"))),
                                 CreatePropertyValue(QStringLiteral("Password"),
                                                     uno::Any(toOUString(password)))}));
    uno::Reference<util::XCloseable>(doc, uno::UNO_QUERY_THROW)->close(true);
}

QList<pid_t> officeProcessesMentioning(const QString& marker)
{
    QList<pid_t> found;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile cmdline(proc.filePath(entry + QStringLiteral("/cmdline")));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = cmdline.readAll();
        if (text.contains("soffice.bin") && text.contains(marker.toUtf8()))
            found << pid;
    }
    return found;
}

QStringList socketPathsOf(pid_t pid)
{
    QSet<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        if (::readlink(QFile::encodeName(fds.filePath(fd)), target, sizeof target - 1) > 0 &&
            QByteArray(target).startsWith("socket:["))
            inodes.insert(QByteArray(target).mid(8).chopped(1));
    }
    // Num RefCount Protocol Flags Type St Inode Path
    QFile table(QStringLiteral("/proc/net/unix"));
    QStringList paths;
    if (table.open(QIODevice::ReadOnly))
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 8 && inodes.contains(fields[6]) && fields[7].startsWith('/'))
                paths << QFile::decodeName(fields[7]);
        }
    return paths;
}

bool waitForProcessGone(pid_t pid, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        // A zombie has ended; only its parent's wait is missing.
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close > 0 && text.mid(close + 2, 1) == "Z")
            return true;
        QThread::msleep(20);
    }
    return false;
}

bool inProcessTable(pid_t pid)
{
    return QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

void writeLongSheet(const QString& target, int rows, int columns)
{
    writeTextFile(target, QStringLiteral(
                              R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Long">
<table:table-row table:number-rows-repeated="%1"><table:table-cell
 table:number-columns-repeated="%2" office:value-type="string"><text:p>Tarnwick long sheet</text:p>
</table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
)")
                              .arg(rows)
                              .arg(columns)
                              .toUtf8());
}

void writePictureAndLinkSheet(const QString& target, const QString& linkHref)
{
    // 1200 x 1200 pixels shown one inch wide: 1200 ppi.
    QImage picture(1200, 1200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, ((x / 8 + y / 8) % 2) ? 0xff2040c0u : 0xfff0f0f0u);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    writeTextFile(target, QStringLiteral(
                              R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Picture">
<table:shapes><draw:frame draw:name="picture" svg:x="0.5in" svg:y="0.5in" svg:width="1in"
 svg:height="1in"><draw:image><office:binary-data>%1</office:binary-data></draw:image>
</draw:frame></table:shapes>
<table:table-row><table:table-cell office:value-type="string"><text:p><text:a
 xlink:type="simple" xlink:href="%2">Tarnwick link</text:a></text:p></table:table-cell>
</table:table-row>
<table:table-row table:number-rows-repeated="18"><table:table-cell/></table:table-row>
<table:table-row><table:table-cell table:number-columns-repeated="4"/><table:table-cell
 office:value-type="string"><text:p>end</text:p></table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
)")
                              .arg(QString::fromLatin1(png.data().toBase64()), linkHref)
                              .toUtf8());
}

QString pdfImagesList(const QString& pdfPath)
{
    return QString::fromUtf8(
        popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdfPath}, 30000));
}

} // namespace fixtures
