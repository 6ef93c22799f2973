#include "regex/cMatchBudget.h"

#include <algorithm>
#include <time.h>

namespace vtl {

cMatchBudget::cMatchBudget(std::chrono::milliseconds cpuTime, std::chrono::milliseconds wallCeiling)
    : cpuAllowed_(cpuTime), wallCeiling_(std::max(wallCeiling, cpuTime)), start_(tClock::now()),
      nextCpuRead_(start_ + std::min<tClock::duration>(cpuTime, std::chrono::milliseconds(1)))
{
}

std::chrono::nanoseconds cMatchBudget::ThreadCpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

bool cMatchBudget::spent(tClock::time_point now)
{
    if (now < nextCpuRead_) return false;
    const std::chrono::nanoseconds cpuNow = ThreadCpuTime();
    if (!cpuStartRead_) {
        cpuStartRead_ = true;
        cpuStart_ = cpuNow;
        // Until now the thread may have waited for a processor rather than worked: a tenth of the budget at most
        // is counted for that stretch, so that a busy server cannot spend a call's budget before it starts.
        beforeCpuStart_ = std::min<std::chrono::nanoseconds>(now - start_, cpuAllowed_ / 10);
    }
    const std::chrono::nanoseconds used = cpuNow - cpuStart_ + beforeCpuStart_;
    if (used >= cpuAllowed_) return true;
    if (now - start_ >= wallCeiling_) {
        wallCeilingReached_ = true;
        return true;
    }
    // The earliest moment at which the rest of the CPU time could be used up, or the ceiling reached.
    nextCpuRead_ = std::min(now + std::chrono::duration_cast<tClock::duration>(cpuAllowed_ - used),
                            start_ + wallCeiling_);
    return false;
}

std::string cMatchBudget::reason() const
{
    if (wallCeilingReached_)
        return "matching got too little processor time: " + std::to_string(wallCeiling_.count()) +
               " ms passed (the server is overloaded)";
    return "matching took longer than " + std::to_string(cpuAllowed_.count()) + " ms";
}

}  // namespace vtl
