// Fault injection for tests: failing SDK calls, refused registrations and failing calculation texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "FMWrapper/FMXClient.h"

namespace emu {
namespace faults {

// Makes the n-th SDK call on this thread (n = 1: the next one) from now fail with `code` (kBadAlloc or kUnknown).
// Delete calls never fail and are not counted. Further calls succeed again.
void FailNthCall(uint32_t n, int32_t code);
void ClearCallFailure();
// SDK calls made on this thread since the last FailNthCall/ClearCallFailure.
uint64_t CallsCounted();

namespace detail {
struct ThreadPlan
{
    uint64_t counted = 0;
    uint64_t failAt = 0;  // 0: nothing armed
    int32_t code = 0;
    uint64_t evaluations = 0;  // calculations evaluated for plug-ins, never reset
};
ThreadPlan &Plan() noexcept;
} // namespace detail

// Counts one SDK call; true (and the error record set) when this call is to fail.
inline bool Hit(fmx::_fmxcpt &x) noexcept
{
    detail::ThreadPlan &plan = detail::Plan();
    if (++plan.counted != plan.failAt)
        return false;
    x.m_code = plan.code;
    plan.failAt = 0;
    return true;
}

// Calculations evaluated on this thread so far (a running count: callers take differences).
inline uint64_t EvaluationsCounted() noexcept { return detail::Plan().evaluations; }

// Registrations of the function id (of any plug-in) answer `code` instead of succeeding.
void RefuseRegistration(int16_t functionId, int16_t code);
bool RegistrationRefused(int16_t functionId, int16_t &code);

// Evaluating exactly this calculation text answers `code` and leaves the result untouched.
void FailEvaluation(const std::u16string &text, int16_t code);
bool EvaluationFails(std::u16string_view text, int16_t &code);

// ExprEnv::EvaluateGetFunction with this selector answers `code` and leaves the result untouched.
void FailGetFunction(int16_t selector, int16_t code);
bool GetFunctionFails(int16_t selector, int16_t &code);

// Clears the refusals, the failing texts and this thread's call failure.
void ClearAll();

} // namespace faults
} // namespace emu
