#include "pdfwritten.h"

#include "officeerror.h"
#include "uniquefd.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

// Why `folder` takes no new file, found by writing one there, as the office
// would have: "" when it does, or when the folder is missing (the office
// makes missing folders itself, so there is more than one reason for that).
QString whyNotWritable(const QString& folder)
{
    const auto reason = [](int error) {
        if (error == ENOSPC || error == EDQUOT)
            return QStringLiteral("The disk is full.");
        if (error == EACCES || error == EPERM || error == EROFS)
            return QStringLiteral("The output folder is not writable.");
        return QString();
    };
    QByteArray probe = QFile::encodeName(folder) + "/.tarnwick-probe-XXXXXX";
    const UniqueFd fd(::mkostemp(probe.data(), O_CLOEXEC));
    if (!fd.valid())
        return reason(errno);
    ::unlink(probe.constData());
    // Room for a small PDF.
    const std::vector<char> block(64 * 1024);
    if (::write(fd.get(), block.data(), block.size()) != ssize_t(block.size()))
        return reason(errno);
    return {};
}

} // namespace

FileStamp FileStamp::of(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_size, st.st_mtim, st.st_dev, st.st_ino};
}

void VerifyPdfWritten(const QString& path, const FileStamp& before, const QString& shownAs)
{
    const FileStamp after = FileStamp::of(path);
    const bool changed = !before.exists || after.size != before.size ||
                         after.modified.tv_sec != before.modified.tv_sec ||
                         after.modified.tv_nsec != before.modified.tv_nsec ||
                         after.device != before.device || after.inode != before.inode;
    if (after.exists && after.size != 0 && changed)
        return;
    const QString why = whyNotWritable(QFileInfo(path).absolutePath());
    throw OfficeError(
        QStringLiteral("The PDF file was not written: %1").arg(shownAs.isEmpty() ? path : shownAs) +
        (why.isEmpty() ? QString() : QStringLiteral(". ") + why));
}
