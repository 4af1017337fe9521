#pragma once

#include <QString>

#include <cstdint>

// How many offices a batch runs and how much memory each may map.
struct JobPlan {
    int jobs = 1;
    std::uint64_t memoryCeiling = 0;
    // Why fewer offices run than wanted; empty when all of them do.
    QString note;
};

// Shares `total`, what one office alone may map, among `wanted` offices, so
// that together they never take more than one office would. When each would
// get less than `smallest`, fewer run (always one at least, with all of it).
JobPlan PlanJobs(int wanted, std::uint64_t total, std::uint64_t smallest);
