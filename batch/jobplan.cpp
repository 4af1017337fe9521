#include "jobplan.h"

#include <algorithm>

namespace {
QString gib(std::uint64_t bytes)
{
    return QString::number(double(bytes) / double(std::uint64_t(1) << 30), 'f', 1) +
           QStringLiteral(" GiB");
}
} // namespace

JobPlan PlanJobs(int wanted, std::uint64_t total, std::uint64_t smallest)
{
    JobPlan plan;
    const auto fit = std::max<std::uint64_t>(1, total / std::max<std::uint64_t>(1, smallest));
    plan.jobs = int(std::min<std::uint64_t>(std::max(1, wanted), fit));
    plan.memoryCeiling = total / std::uint64_t(plan.jobs);
    if (plan.jobs < wanted)
        plan.note = QStringLiteral("running %1 of %2 offices: together they may map %3, "
                                   "and each needs %4")
                        .arg(plan.jobs)
                        .arg(wanted)
                        .arg(gib(total), gib(smallest));
    return plan;
}
