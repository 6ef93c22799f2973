// Turns a calculation text into a Program.
#pragma once

#include "calc/Ast.h"
#include "calc/CalcErrors.h"

#include <string>

namespace emu::calc
{
// Deepest nesting a calculation may have. Evaluation recurses once per level, and calculation texts may be built
// from user data, so a hostile text must end in an error rather than overflow a server thread's stack.
constexpr unsigned kMaxNestingDepth = 400;

// Parses the text. Built-in functions are resolved and their argument counts checked here, as FileMaker does
// when a calculation is defined; plug-in functions are looked up when the calculation runs.
bool parse(const std::u16string &text, Program &program, Failure &failure);
} // namespace emu::calc
