#include "calc/CalcErrors.h"

namespace emu::calc
{
const char *describeError(short code)
{
    switch (code)
    {
    case kCalcOK: return "No error";
    case kOutOfMemory: return "Memory error";
    case kFieldMissing: return "Field is missing";
    case kCalcGeneric: return "Generic calculation error";
    case kTooFewParameters: return "Too few parameters in the function";
    case kTooManyParameters: return "Too many parameters in the function";
    case kUnexpectedEnd: return "Unexpected end of calculation";
    case kOperandExpected: return "Number, text constant, field name or \"(\" expected";
    case kCommentNotTerminated: return "Comment is not terminated with \"*/\"";
    case kTextNotTerminated: return "Text constant must end with a quotation mark";
    case kUnbalancedParenthesis: return "Unbalanced parenthesis";
    case kOperatorMissing: return "Operator missing, function not found or \"(\" not expected";
    case kNameMissing: return "Name (such as field name or layout name) is missing";
    case kListNotAllowed: return "List usage is not allowed in this function";
    case kOperatorExpected: return "An operator (for example, +, -, *) is expected here";
    case kInvalidGetParameter: return "This parameter is an invalid Get function parameter";
    case kCannotEvaluateNumber: return "Cannot evaluate the number";
    case kFunctionMissing: return "Function referred to does not exist";
    default: return "Error reported by the host or a plug-in";
    }
}
} // namespace emu::calc
