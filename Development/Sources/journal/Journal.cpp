#include "journal/Journal.h"

#include <atomic>
#include <ctime>
#include <string>

#include <unistd.h>

#include "journal/JournalDatagram.h"
#include "journal/JournalLimiter.h"

namespace vtl
{
namespace
{
std::atomic<bool> gJournalOn{true};
cJournalLimiter gLimiter;
// Kept free at the end of a line for the count of the lines left out.
constexpr std::size_t kLeftOutRoom = 64;

int Severity(eJournalKind kind)
{
    return kind == eJournalKind::kAllowListFault || kind == eJournalKind::kException ? kJournalError
                                                                                    : kJournalWarning;
}
}

cJournalLine::cJournalLine(eJournalKind kind, std::string_view file, std::string_view function) noexcept
    : kind_(kind)
{
    if (!gJournalOn.load(std::memory_order_relaxed))
        return;
    try
    {
        const std::uint64_t key = cJournalLimiter::key(static_cast<int>(kind), file, function);
        admitted_ = gLimiter.admit(key, cJournalLimiter::Clock::now(), leftOut_);
    }
    catch (...) // the lock failed: no line
    {
    }
}

void cJournalLine::send(std::string_view text) noexcept
{
    if (!admitted_)
        return;
    admitted_ = false;
    try
    {
        // Built and sent outside the limiter's lock.
        std::string line(text.substr(0, kLongestJournalText - kLeftOutRoom));
        if (leftOut_ > 0)
            line += " (" + std::to_string(leftOut_) + " similar lines left out in the last minute)";
        SendJournalDatagram(JournalDatagram(Severity(kind_), std::time(nullptr), static_cast<long>(::getpid()), line));
    }
    catch (...)
    {
        // Out of memory: the line is lost, the call goes on.
    }
}

void Journal(eJournalKind kind, std::string_view file, std::string_view function, std::string_view text) noexcept
{
    if (cJournalLine line{kind, file, function})
        line.send(text);
}

void SetJournalOn(bool on) noexcept
{
    gJournalOn.store(on, std::memory_order_relaxed);
}

bool JournalOn() noexcept
{
    return gJournalOn.load(std::memory_order_relaxed);
}

void ResetJournalLimits() noexcept
{
    gLimiter.clear();
}
}
