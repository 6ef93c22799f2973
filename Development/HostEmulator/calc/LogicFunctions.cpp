// The functions that decide what else gets evaluated (If, Case, Choose, Evaluate, IsValid ...), the constants True
// and False, and the GetAs conversions. While, like Let, is part of the language itself (Parser, Evaluator).
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"
#include "calc/Parser.h"

#include <algorithm>

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
    Value scratch;
    const Value *value = nullptr;
    if (short code = argumentView(evaluator, call, 0, scratch, value))
        return code;
    // A container without a file name is not empty: its text form says nothing about its data.
    setBoolean(result, value->IsEmpty() || (value->Type() != kDTBinary && value->AsText().Empty()));
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

// Choose ( test ; result0 { ; result1 ... } ): the result whose number is the test's whole part; empty when
// there is none.
short choose(Evaluator &evaluator, const Node &call, Value &result)
{
    Number test;
    if (short code = numberArgument(evaluator, call, 0, test))
        return code;
    int64_t n = wholeNumber(test);
    if (n < 0 || n + 1 >= static_cast<int64_t>(call.args.size()))
    {
        result.Clear();
        return kCalcOK;
    }
    return evaluator.evaluate(*call.args[static_cast<std::size_t>(n) + 1], result);
}

// Evaluate ( expression { ; [ field1 ; field2 ... ] } ): the text of the expression evaluated as a calculation
// of its own (it sees the session's variables, not the Let variables around it). An error in it is the error
// of the calculation. The fields only say, in FileMaker, when a stored result is evaluated again.
short evaluateFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value expression;
    if (short code = argument(evaluator, call, 0, expression))
        return code;
    return evaluateNested(evaluator, call, expression.AsText().Chars(), result);
}

// 1 when the argument evaluates without error: a missing name, for example, makes it 0.
short isValid(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    setBoolean(result, argument(evaluator, call, 0, value) == kCalcOK);
    return kCalcOK;
}

short getAsText(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    result.SetText(value.AsText());
    return kCalcOK;
}

// Numbers, dates and times give their number; a text gives its digits in order, or an empty number when it has none.
short getAsNumber(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    if (value.Type() != kDTText && value.Type() != kDTInvalid)
    {
        setNumber(result, numberOf(value));
        return kCalcOK;
    }
    Number number;
    if (Number::FromText(value.AsText().Chars(), number))
        setNumber(result, number);
    else
        result.Clear(kDTNumber);
    return kCalcOK;
}

// GetAsDate, GetAsTime and GetAsTimestamp: a text is read in the host's forms (error 500 for a date, 501 for a
// time or timestamp that cannot be read), numbers count days (dates) or seconds; empty stays empty.
template <DataType Type>
short getAsDateTime(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    if (value.Type() == kDTText || value.Type() == kDTInvalid)
    {
        const Text &text = value.AsText();
        Value converted;
        if (text.Empty())
            converted.Clear(Type);
        else if (short code = converted.SetAsText(text, value.GetLocale(), Type))
            return evaluator.fail(code, call, Type == kDTDate ? "the text is not a date" : "the text is not a time");
        result = std::move(converted);
        return kCalcOK;
    }
    if (value.Type() == kDTNumber || value.Type() == kDTBoolean)
    {
        DateTime dateTime;
        if (Type == kDTDate)
            dateTime.SetDayNumber(value.AsNumber().Floor().ToInt64());
        else
            dateTime.SetSeconds(value.AsNumber());
        result.SetDateTime(dateTime, Type == kDTTime ? kDTTime : kDTTimeStamp, Type);
        return kCalcOK;
    }
    result = value;
    result.Convert(Type);
    return kCalcOK;
}

// 1 for a value that is true (a number other than 0, a text whose number is not 0, a date), else 0. The "?" that
// stands for a result that could not be computed counts as true, as FileMaker reads it.
short getAsBoolean(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    const bool unknown = value.Type() == kDTText && value.AsText().Chars() == u"?";
    setBoolean(result, unknown || value.AsBoolean());
    return kCalcOK;
}

// EvaluationError ( expression ): the error the expression fails with, 0 when it succeeds; wrapped around
// Evaluate, the error of the text evaluated, a syntax error included.
short evaluationError(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    short code = argument(evaluator, call, 0, value);
    setNumber(result, Number::FromInt(code));
    return kCalcOK;
}

// IsValidExpression ( expression ): 1 when the text is a calculation that can be read; it is not evaluated.
short isValidExpression(Evaluator &evaluator, const Node &call, Value &result)
{
    Value text;
    if (short code = argument(evaluator, call, 0, text))
        return code;
    Program program;
    Failure failure;
    setBoolean(result, parse(text.AsText().Chars(), program, failure));
    return kCalcOK;
}

// SetRecursion ( expression ; maxIterations ): the expression with While allowed that many iterations (at least
// 1, at most 10 million so that a calculation still ends in reasonable time).
short setRecursion(Evaluator &evaluator, const Node &call, Value &result)
{
    Number limit;
    if (short code = numberArgument(evaluator, call, 1, limit))
        return code;
    int64_t iterations = std::clamp<int64_t>(wholeNumber(limit), 1, 10000000);
    return withSetting(evaluator, call, result, evaluator.settings().iterationLimit, iterations);
}

const BuiltinRegistration registration({
    {"If", 2, 3, &ifFunction},
    {"Case", 2, -1, &caseFunction},
    {"IsEmpty", 1, 1, &isEmpty},
    {"True", 0, 0, &trueConstant},
    {"False", 0, 0, &falseConstant},
    {"Choose", 2, -1, &choose},
    {"Evaluate", 1, 2, &evaluateFunction},
    {"IsValid", 1, 1, &isValid},
    {"SetRecursion", 2, 2, &setRecursion},
    {"EvaluationError", 1, 1, &evaluationError},
    {"IsValidExpression", 1, 1, &isValidExpression},
    {"GetAsText", 1, 1, &getAsText},
    {"GetAsNumber", 1, 1, &getAsNumber},
    {"GetAsDate", 1, 1, &getAsDateTime<kDTDate>},
    {"GetAsTime", 1, 1, &getAsDateTime<kDTTime>},
    {"GetAsTimestamp", 1, 1, &getAsDateTime<kDTTimeStamp>},
    {"GetAsBoolean", 1, 1, &getAsBoolean},
});
} // namespace
} // namespace emu::calc
