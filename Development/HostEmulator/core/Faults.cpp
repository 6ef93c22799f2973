#include "core/Faults.h"

#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>

namespace emu {
namespace faults {
namespace {

struct Shared
{
    std::mutex mutex;
    std::map<int16_t, int16_t> refusedIds;
    std::unordered_map<std::u16string, int16_t> failingTexts;
    std::atomic<bool> anyFailingText{false};
    std::map<int16_t, int16_t> failingSelectors;
    std::atomic<bool> anyFailingSelector{false};
};

Shared &State()
{
    static Shared shared;
    return shared;
}

// The code armed for key in one of the maps above (the caller holds the mutex).
template <class Map>
bool Armed(const Map &armed, const typename Map::key_type &key, int16_t &code)
{
    const auto it = armed.find(key);
    if (it == armed.end())
        return false;
    code = it->second;
    return true;
}

} // namespace

namespace detail {
ThreadPlan &Plan() noexcept
{
    // Every SDK call counts here: the initial-exec model reads it without a call into the dynamic loader (the
    // library is linked by its programs, not opened later, so its few bytes fit the static TLS block).
    static thread_local ThreadPlan plan __attribute__((tls_model("initial-exec")));
    return plan;
}
} // namespace detail

void FailNthCall(uint32_t n, int32_t code)
{
    detail::ThreadPlan &plan = detail::Plan();
    plan.counted = 0;
    plan.failAt = n;
    plan.code = code;
}

void ClearCallFailure()
{
    detail::ThreadPlan &plan = detail::Plan();
    plan.counted = 0;
    plan.failAt = 0;
}

uint64_t CallsCounted() { return detail::Plan().counted; }

void RefuseRegistration(int16_t functionId, int16_t code)
{
    Shared &s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.refusedIds[functionId] = code;
}

bool RegistrationRefused(int16_t functionId, int16_t &code)
{
    Shared &s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return Armed(s.refusedIds, functionId, code);
}

void FailEvaluation(const std::u16string &text, int16_t code)
{
    Shared &s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failingTexts[text] = code;
    s.anyFailingText = true;
}

bool EvaluationFails(std::u16string_view text, int16_t &code)
{
    Shared &s = State();
    // Evaluation is a hot path: skip the lock while no text is armed.
    if (!s.anyFailingText.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(s.mutex);
    return Armed(s.failingTexts, std::u16string(text), code);
}

void FailGetFunction(int16_t selector, int16_t code)
{
    Shared &s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failingSelectors[selector] = code;
    s.anyFailingSelector = true;
}

bool GetFunctionFails(int16_t selector, int16_t &code)
{
    Shared &s = State();
    if (!s.anyFailingSelector.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(s.mutex);
    return Armed(s.failingSelectors, selector, code);
}

void ClearAll()
{
    Shared &s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.refusedIds.clear();
        s.failingTexts.clear();
        s.anyFailingText = false;
        s.failingSelectors.clear();
        s.anyFailingSelector = false;
    }
    ClearCallFailure();
}

} // namespace faults
} // namespace emu
