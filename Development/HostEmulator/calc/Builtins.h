// The table of built-in calculation functions. Each source file of calc/ adds its own functions with a
// BuiltinRegistration at static initialisation, so that new functions need no edit of a shared list:
//
//     static const BuiltinRegistration registration({
//         {"TextStyleAdd", 2, 2, &textStyleAdd},
//     });
//
// A function receives its call node unevaluated and evaluates the arguments it needs through the Evaluator
// (so If and Case evaluate only the branch they take, and a function may read a bare name such as a style or
// a Get selector from its argument node instead of evaluating it).
#pragma once

#include <initializer_list>
#include <string>

namespace emu
{
class Value;
}

namespace emu::calc
{
class Evaluator;
struct Node;

using BuiltinFunction = short (*)(Evaluator &evaluator, const Node &call, Value &result);

struct Builtin
{
    const char *name;    // as documented; looked up without regard to case
    short minArgs;
    short maxArgs;       // -1: no upper bound
    BuiltinFunction function;
};

struct BuiltinRegistration
{
    BuiltinRegistration(std::initializer_list<Builtin> builtins);
};

// The function of that folded name, or null.
const Builtin *findBuiltin(const std::u16string &foldedName);
} // namespace emu::calc
