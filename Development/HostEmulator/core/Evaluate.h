// The link between the host core and the calculation engine.
#pragma once

#include <cstdint>
#include <string>

#include "core/Session.h"
#include "core/Value.h"

namespace emu {

// Implemented by the calculation engine: evaluates `text` in `env`. Answers 0 and sets `result`, or a
// calculation error code (12xx) and leaves `result` untouched.
int16_t Evaluate(Environment &env, const std::u16string &text, Value &result);

// What FM_ExprEnv_Evaluate and the test interface call: applies the armed evaluation failures, then Evaluate,
// with `env` as the current environment.
int16_t EvaluateInHost(Environment &env, const std::u16string &text, Value &result);

// Answered while no calculation engine is linked in.
enum : int16_t { kErrNoCalcEngine = 1223 };

} // namespace emu
