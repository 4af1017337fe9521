#pragma once

#include <QString>

#include <sys/types.h>

#include <ctime>

// What a file looked like before the export, to tell whether the export
// wrote it.
struct FileStamp {
    bool exists = false;
    off_t size = 0;
    timespec modified{};
    dev_t device = 0;
    ino_t inode = 0;
    static FileStamp of(const QString& path);
};

// Raises "The PDF file was not written: <path>" unless the file is there, not
// empty, and new or changed since `before`: its size, modification time or
// inode differ. When the folder turns out not to be writable or the disk
// full, the message says so. File times are only compared with each other, never with our
// clock: FAT stores them in 2-second steps and a network share keeps a clock
// of its own.
// The message names `shownAs` when given (the PDF that `path` stands for).
void VerifyPdfWritten(const QString& path, const FileStamp& before, const QString& shownAs = {});
