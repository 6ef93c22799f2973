#include "core/Evaluate.h"

#include "core/Faults.h"

namespace emu {

// Stands in until the calculation engine is linked in; its definition replaces this one.
__attribute__((weak)) int16_t Evaluate(Environment &, const std::u16string &, Value &) { return kErrNoCalcEngine; }

int16_t EvaluateInHost(Environment &env, const std::u16string &text, Value &result)
{
    int16_t code = 0;
    ++faults::detail::Plan().evaluations;
    if (faults::EvaluationFails(text, code))
        return code;
    EnvironmentScope scope(env);
    return Evaluate(env, text, result);
}

} // namespace emu
