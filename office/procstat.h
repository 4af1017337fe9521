#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <sys/types.h>

// What /proc/<pid>/stat tells of a process.
struct ProcStat {
    // The command name, at most 15 bytes of the executable's name.
    QByteArray command;
    // 'R', 'S', ...; 'Z' for one that has ended and awaits its parent's wait.
    char state = '?';
    // CPU time in user and in kernel mode, in clock ticks.
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
};

// nullopt when there is no such process or its line cannot be read.
std::optional<ProcStat> ReadProcStat(pid_t pid);
