#ifndef VANTREL_REGEX_CMATCHBUDGET_H
#define VANTREL_REGEX_CMATCHBUDGET_H

#include <chrono>
#include <string>

namespace vtl {

// The processor time one call's matching may take. It counts the calling thread's CPU time, so that the same
// calculation gets the same answer however busy the server is; a wall-clock ceiling many times longer still ends
// a call whose thread cannot get a processor at all. Both start when the budget is made.
class cMatchBudget {
public:
    using tClock = std::chrono::steady_clock;
    // The wall-clock ceiling, as a multiple of the CPU time allowed.
    static constexpr int kWallCeilingFactor = 15;

    explicit cMatchBudget(std::chrono::milliseconds cpuTime)
        : cMatchBudget(cpuTime, cpuTime * kWallCeilingFactor) {}
    cMatchBudget(std::chrono::milliseconds cpuTime, std::chrono::milliseconds wallCeiling);

    // True once either limit is reached. Cheap while time is left: the thread cannot have used more CPU time than
    // has passed, so the CPU clock (a system call) is read only when the wall clock says the budget could be spent.
    // A call that ends within a millisecond never reads it: the first reading comes at the first check after one
    // millisecond, and the wall-clock time until then counts as CPU time, up to a tenth of the budget.
    bool spent(tClock::time_point now);
    bool spent() { return spent(tClock::now()); }

    // Which limit was reached, for the error message ("matching took longer than 2000 ms").
    std::string reason() const;

    // CPU time the calling thread has used since it started.
    static std::chrono::nanoseconds ThreadCpuTime();

private:
    std::chrono::milliseconds cpuAllowed_;
    std::chrono::milliseconds wallCeiling_;
    tClock::time_point start_;
    tClock::time_point nextCpuRead_;
    std::chrono::nanoseconds cpuStart_{0};
    std::chrono::nanoseconds beforeCpuStart_{0};  // wall-clock time before the first reading, counted as CPU time
    bool cpuStartRead_ = false;
    bool wallCeilingReached_ = false;
};

}  // namespace vtl

#endif
