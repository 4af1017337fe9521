#pragma once

// Every limit that Tarnwick sets an office, with its reason. Header only and
// free of the office's libraries, so that the launcher's command line can
// read the default number of jobs without linking the office.

#include <algorithm>
#include <chrono>
#include <cstdint>

// A start that has not answered by then will not: a cold start on a new
// profile takes seconds, several times that on a loaded machine. The office
// is then killed and the file told that it stopped responding.
inline constexpr auto OfficeConnectTimeout = std::chrono::seconds(60);
// Between two attempts to reach a starting office: an attempt on a pipe that
// is not there yet costs microseconds, and the first file waits for the
// one that succeeds (half this on average).
inline constexpr auto OfficeConnectRetry = std::chrono::milliseconds(10);
// An office that crashes while starting gets two more chances; one that
// crashes three times in a row is broken, and the file is told so.
inline constexpr int OfficeLaunchAttempts = 3;
// On a new profile the first office sets the profile up and exits, which
// takes a few seconds; past this wait we connect anyway, and the connect
// timeout decides.
inline constexpr auto OfficeProfileSetupWait = std::chrono::seconds(20);
// The time an office told to end (SIGTERM) has to close; then it is killed.
inline constexpr auto OfficeStopGrace = std::chrono::seconds(3);

// An office that uses no CPU for this long waits for nothing that will
// come (a dialog, a deadlock): it counts as hung.
inline constexpr auto OfficeNoProgressLimit = std::chrono::seconds(60);
// An office in an endless loop shows progress for ever; no spreadsheet
// takes half an hour.
inline constexpr auto OfficeLongestCall = std::chrono::minutes(30);

// The least that any office may map, also when several share the ceiling:
// an idle office maps about 0.8 GB.
inline constexpr std::uint64_t SmallestOfficeMemoryCeiling = std::uint64_t(2) << 30;
inline constexpr std::uint64_t LargestOfficeMemoryCeiling = std::uint64_t(8) << 30;
// The most address space an office may map: a quarter of the physical
// memory, within the two bounds. A sheet that asks for more fails to load
// soon, instead of making the machine swap for minutes on its way there.
constexpr std::uint64_t OfficeMemoryCeilingFor(std::uint64_t physicalMemory)
{
    return std::clamp(physicalMemory / 4, SmallestOfficeMemoryCeiling, LargestOfficeMemoryCeiling);
}

// The most offices a batch runs unless told otherwise (fewer on fewer
// cores). Together they share one office's ceiling, so this is the most that
// the largest ceiling gives the smallest each; more would be cut back.
inline constexpr int MostDefaultJobs = 4;
static_assert(MostDefaultJobs == LargestOfficeMemoryCeiling / SmallestOfficeMemoryCeiling);
