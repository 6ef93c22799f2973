// If, Case, IsEmpty, True and False: the functions that decide what else gets evaluated.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"

namespace emu::calc
{
namespace
{
short ifFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value test;
    if (short code = evaluator.evaluate(*call.args[0], test))
        return code;
    if (test.AsBoolean())
        return evaluator.evaluate(*call.args[1], result);
    if (call.args.size() > 2)
        return evaluator.evaluate(*call.args[2], result);
    result.Clear();
    return kCalcOK;
}

// Case ( test1 ; result1 { ; test2 ; result2 ... } { ; defaultResult } )
short caseFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    std::size_t i = 0;
    for (; i + 1 < call.args.size(); i += 2)
    {
        Value test;
        if (short code = evaluator.evaluate(*call.args[i], test))
            return code;
        if (test.AsBoolean())
            return evaluator.evaluate(*call.args[i + 1], result);
    }
    if (i < call.args.size())
        return evaluator.evaluate(*call.args[i], result);
    result.Clear();
    return kCalcOK;
}

short isEmpty(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluator.evaluate(*call.args[0], value))
        return code;
    // A container without a file name is not empty: its text form says nothing about its data.
    setBoolean(result, value.IsEmpty() || (value.Type() != kDTBinary && value.AsText().Empty()));
    return kCalcOK;
}

short trueConstant(Evaluator &, const Node &, Value &result)
{
    setBoolean(result, true);
    return kCalcOK;
}

short falseConstant(Evaluator &, const Node &, Value &result)
{
    setBoolean(result, false);
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"If", 2, 3, &ifFunction},
    {"Case", 2, -1, &caseFunction},
    {"IsEmpty", 1, 1, &isEmpty},
    {"True", 0, 0, &trueConstant},
    {"False", 0, 0, &falseConstant},
});
} // namespace
} // namespace emu::calc
