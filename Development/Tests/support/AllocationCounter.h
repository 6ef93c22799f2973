// Counts the bytes the program holds through operator new, so that a test or benchmark can read the peak of one
// call: the plug-in's allocations and the emulator's (host texts, values) alike. Replaces the global operator new
// and delete: include it in exactly one source file of a program.
#pragma once

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace alloccount
{
inline std::atomic<long long> gHeld{0};
inline std::atomic<long long> gPeak{0};

inline void *take(std::size_t size)
{
    void *block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    const long long held = gHeld.fetch_add(static_cast<long long>(malloc_usable_size(block))) +
                           static_cast<long long>(malloc_usable_size(block));
    long long peak = gPeak.load();
    while (held > peak && !gPeak.compare_exchange_weak(peak, held))
    {
    }
    return block;
}

inline void give(void *block) noexcept
{
    if (!block)
        return;
    gHeld.fetch_sub(static_cast<long long>(malloc_usable_size(block)));
    std::free(block);
}

// The peak of the bytes held above what was held when it started, over its lifetime. One measurement at a time.
class cPeak
{
public:
    cPeak() : base_(gHeld.load()) { gPeak.store(base_); }
    long long bytes() const { return std::max(0LL, gPeak.load() - base_); }

private:
    long long base_;
};
} // namespace alloccount

void *operator new(std::size_t size) { return alloccount::take(size); }
void *operator new[](std::size_t size) { return alloccount::take(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    try
    {
        return alloccount::take(size);
    }
    catch (...)
    {
        return nullptr;
    }
}
void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept { return operator new(size, tag); }
void operator delete(void *block) noexcept { alloccount::give(block); }
void operator delete[](void *block) noexcept { alloccount::give(block); }
void operator delete(void *block, std::size_t) noexcept { alloccount::give(block); }
void operator delete[](void *block, std::size_t) noexcept { alloccount::give(block); }
