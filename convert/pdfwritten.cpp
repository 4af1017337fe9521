#include "pdfwritten.h"

#include "officeerror.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::of(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_size, st.st_mtim, st.st_dev, st.st_ino};
}

void VerifyPdfWritten(const QString& path, const FileStamp& before)
{
    const FileStamp after = FileStamp::of(path);
    const bool changed = !before.exists || after.size != before.size ||
                         after.modified.tv_sec != before.modified.tv_sec ||
                         after.modified.tv_nsec != before.modified.tv_nsec ||
                         after.device != before.device || after.inode != before.inode;
    if (!after.exists || after.size == 0 || !changed)
        throw OfficeError(QStringLiteral("The PDF file was not written: %1").arg(path));
}
