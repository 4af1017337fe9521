#include "pdftarget.h"

#include "errors.h"
#include "pdfwritten.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray bytes(const QString& path)
{
    return QFile::encodeName(path);
}

// A name the export would write through instead of replacing.
bool sharesItsFile(const QString& path)
{
    struct stat st {};
    if (::lstat(bytes(path).constData(), &st) != 0)
        return false;
    return S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink > 1);
}
} // namespace

bool FileIdentity::of(const QString& path, FileIdentity& identity)
{
    const FileStamp stamp = FileStamp::of(path);
    identity = {stamp.device, stamp.inode};
    return stamp.exists;
}

size_t qHash(const FileIdentity& id, size_t seed)
{
    return qHashMulti(seed, quint64(id.device), quint64(id.inode));
}

void RefuseSourceAsPdf(const QString& source, const QString& pdf)
{
    FileIdentity s, p;
    if (FileIdentity::of(source, s) && FileIdentity::of(pdf, p) && s == p)
        throw TarnwickError(QStringLiteral("Not converted: the PDF would be written over the "
                                           "source itself: %1 and %2 are the same file.")
                                .arg(source, pdf));
}

QString RealPdfPath(const QString& pdf)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(pdf).absoluteFilePath()));
    QString missing = info.fileName();
    QString folder = info.path();
    // The nearest folder that exists is resolved; what is below it is not
    // there yet and has no links.
    for (;;) {
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (!real.isEmpty())
            return QDir::cleanPath(real + u'/' + missing);
        const QFileInfo up(folder);
        if (up.path() == folder)
            return QDir::cleanPath(folder + u'/' + missing);
        missing = up.fileName() + u'/' + missing;
        folder = up.path();
    }
}

PdfTarget::PdfTarget(const QString& pdf) : pdf_(pdf), exportPath_(pdf)
{
    if (!sharesItsFile(pdf))
        return;
    // Hidden and writable: the folder scan passes such a name over. Made
    // with the mode that a new PDF gets (mkstemp's would be 0600), and never
    // over a file that is there.
    const QByteArray folder = bytes(QFileInfo(pdf).absolutePath());
    QByteArray name;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        name = folder + "/.tarnwick-" +
               QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".pdf";
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw TarnwickError(QStringLiteral("The PDF file was not written: %1. A new file cannot "
                                           "be made beside it: %2.")
                                .arg(pdf, QString::fromLocal8Bit(std::strerror(errno))));
    ::close(fd);
    exportPath_ = QFile::decodeName(name);
}

PdfTarget::~PdfTarget()
{
    if (!committed_ && exportPath_ != pdf_)
        ::unlink(bytes(exportPath_).constData());
}

void PdfTarget::commit()
{
    if (exportPath_ == pdf_ || committed_)
        return;
    // rename() replaces the name itself: a link is not followed, and the
    // file that shared it keeps its content.
    if (::rename(bytes(exportPath_).constData(), bytes(pdf_).constData()) != 0)
        throw TarnwickError(QStringLiteral("The PDF file was not written: %1. It cannot be put "
                                           "in place: %2.")
                                .arg(pdf_, QString::fromLocal8Bit(std::strerror(errno))));
    committed_ = true;
}
