#pragma once

#include "officelimits.h"

#include <QString>

#include <cstdint>
#include <sys/types.h>

// How one office process is made and named: its pipe and the socket the pipe
// leaves, its memory ceiling, and the fork and exec that start it clean.
// OfficeProcess decides when; this file knows how.

// The most address space an office may map on this machine (see
// OfficeMemoryCeilingFor).
std::uint64_t DefaultOfficeMemoryCeiling();

// A pipe name that is new at each launch and carries Tarnwick's pid.
QString NewOfficePipeName();
// The socket of the office's pipe; the office leaves it behind when a signal
// ends it.
QString OfficePipeSocketPath(const QString& pipeName);
void RemoveOfficePipeSocket(const QString& pipeName);
// Besides the pipe it is told to accept on, the office listens on a pipe of
// its own that keeps a second office off its profile: "SingleOfficeIPC_" and
// the MD5 of the profile's URL in UTF-16, each byte in hex without a leading
// zero (measured). A killed office leaves its socket too.
QString OfficeSingleInstancePipeName(const QString& profileDir);
// Removes the pipe sockets that offices of earlier Tarnwicks left when their
// owner was killed outright or crashed: the socket's name carries the owner's
// pid, and a socket whose owner no longer runs serves no one.
void RemoveOrphanedOfficePipeSockets();

struct OfficeChild {
    QString executable;
    QString profileDir;
    QString tempDir;
    QString pipeName;
    std::uint64_t memoryCeiling = 0;
};

// Forks and executes the office headless on its private profile, in a new
// process group, under the memory ceiling, with none of Tarnwick's
// descriptors, ignored signals or signal mask. The kernel kills it when the
// calling thread ends. Returns its pid, or -1 with errno set.
pid_t ForkOffice(const OfficeChild& child);

// The process's CPU time so far, in clock ticks; 0 when it cannot be read.
std::uint64_t ProcessCpuTicks(pid_t pid);
// The most address space the process has mapped so far, in bytes; 0 when it
// cannot be read.
std::uint64_t ProcessPeakAddressSpace(pid_t pid);
