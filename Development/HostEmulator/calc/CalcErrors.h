// Error codes of the calculation engine: FileMaker's own numbers, so that plug-ins and tests see what a real
// host would report for the same mistake.
#pragma once

#include <cstddef>
#include <string>

namespace emu::calc
{
enum CalcError : short
{
    kCalcOK = 0,
    kOutOfMemory = 2,                // the host ran out of memory during the calculation
    kFieldMissing = 102,             // a bare name that is neither a Let variable nor a function
    kCalcGeneric = 1200,             // nesting too deep, any other failure
    kTooFewParameters = 1201,
    kTooManyParameters = 1202,
    kUnexpectedEnd = 1203,
    kOperandExpected = 1204,         // number, text constant, field name or "(" expected
    kCommentNotTerminated = 1205,
    kTextNotTerminated = 1206,
    kUnbalancedParenthesis = 1207,
    kOperatorMissing = 1208,         // operator missing, function not found or "(" not expected
    kNameMissing = 1209,
    kListNotAllowed = 1211,
    kOperatorExpected = 1212,
    kInvalidGetParameter = 1215,
    kCannotEvaluateNumber = 1218,    // division by zero and other arithmetic the host cannot do
    kFunctionMissing = 1224,
};

// A failed parse or evaluation: the code the host returns, where in the text it happened and why, for people.
struct Failure
{
    short code = kCalcOK;
    std::size_t position = 0;
    std::string message;
};

// FileMaker's wording for the codes above, used by fmhost and the documentation.
const char *describeError(short code);
} // namespace emu::calc
