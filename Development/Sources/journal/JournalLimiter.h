#ifndef VANTREL_JOURNAL_JOURNALLIMITER_H
#define VANTREL_JOURNAL_JOURNALLIMITER_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace vtl
{
// Lets one line a window through for each key, and counts the lines it holds back. Keys are hashes of kind, file and
// function: no name is stored, and the table holds at most kMaxKeys of them, so neither a loop of calls nor a server
// with many files makes it grow without bound. The lock is held for one look-up.
class cJournalLimiter
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kWindow{60};
    static constexpr std::size_t kMaxKeys = 4096;

    // The key of a (kind, file, function).
    static std::uint64_t key(int kind, std::string_view file, std::string_view function);

    // True when a line for key may go out at now; leftOut then receives how many lines of the key were held back
    // since the last one that went out.
    bool admit(std::uint64_t key, Clock::time_point now, unsigned long &leftOut);

    void clear();
    std::size_t size() const;

private:
    struct cEntry
    {
        Clock::time_point sent;
        unsigned long leftOut = 0;
    };
    // Makes room by forgetting keys whose window has passed; false when none has.
    bool prune_(Clock::time_point now);

    mutable std::mutex mutex_;
    std::unordered_map<std::uint64_t, cEntry> entries_;
};

// Stands in for every key that finds the table full.
constexpr std::uint64_t kOverflowKey = 0;
}

#endif
