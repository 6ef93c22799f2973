#include "journal/JournalLimiter.h"

namespace vtl
{
namespace
{
// 64-bit FNV-1a.
constexpr std::uint64_t kOffset = 14695981039346656037ULL;
constexpr std::uint64_t kPrime = 1099511628211ULL;

std::uint64_t Mix(std::uint64_t hash, std::string_view bytes)
{
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * kPrime;
    return hash;
}
}

std::uint64_t cJournalLimiter::key(int kind, std::string_view file, std::string_view function)
{
    std::uint64_t hash = (kOffset ^ static_cast<unsigned>(kind)) * kPrime;
    hash = Mix(hash, file);
    hash = (hash ^ 0xFFu) * kPrime; // no byte of a name: "ab"+"c" and "a"+"bc" differ
    hash = Mix(hash, function);
    return hash == kOverflowKey ? 1 : hash;
}

bool cJournalLimiter::admit(std::uint64_t key, Clock::time_point now, unsigned long &leftOut)
{
    const std::lock_guard<std::mutex> hold(mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end())
    {
        if (entries_.size() >= kMaxKeys && !prune_(now))
        {
            key = kOverflowKey;
            found = entries_.find(key);
        }
        if (found == entries_.end())
        {
            entries_.emplace(key, cEntry{now, 0});
            leftOut = 0;
            return true;
        }
    }
    cEntry &entry = found->second;
    if (now - entry.sent < kWindow)
    {
        ++entry.leftOut;
        return false;
    }
    leftOut = entry.leftOut;
    entry = cEntry{now, 0};
    return true;
}

bool cJournalLimiter::prune_(Clock::time_point now)
{
    const std::size_t before = entries_.size();
    for (auto at = entries_.begin(); at != entries_.end();)
    {
        if (now - at->second.sent >= kWindow)
            at = entries_.erase(at);
        else
            ++at;
    }
    return entries_.size() < before;
}

void cJournalLimiter::clear()
{
    const std::lock_guard<std::mutex> hold(mutex_);
    entries_.clear();
}

std::size_t cJournalLimiter::size() const
{
    const std::lock_guard<std::mutex> hold(mutex_);
    return entries_.size();
}
}
