#include "errors/LastError.h"

#include <cstdio>

#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXFixPt.h"
#include "errors/ErrorCodes.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace vtl
{
namespace
{
const char kFatalMessage[] = "Unknown fatal error occured";

fmx::errcode Evaluate(const char *calculation, std::size_t length, const fmx::ExprEnv &env, fmx::Data &into)
{
    fmx::TextUniquePtr text;
    text->AssignWithLength(calculation, static_cast<fmx::uint32>(length), fmx::Text::kEncoding_Native);
    return env.Evaluate(*text, into);
}

// A read-out writes into the caller's result only when the host evaluated it.
template <class Write>
fmx::errcode ReadVariable(const char *calculation, std::size_t length, const fmx::ExprEnv &env, Write write)
{
    fmx::DataUniquePtr scratch;
    const fmx::errcode error = Evaluate(calculation, length, env, *scratch);
    if (error == 0)
        write(*scratch);
    return error;
}

#define VANTREL_LITERAL(text) text, sizeof(text) - 1
}

std::string LastErrorCalculation(fmx::int16 code, const std::string &message)
{
    char number[8];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(code));
    std::string calculation = "Let ( [ $$Vantrel_LastError = ";
    calculation.reserve(calculation.size() + message.size() + 64);
    calculation += number;
    calculation += " ; $$Vantrel_LastErrorMessage = \"";
    // Escaped, so that any message keeps the text literal (and so the whole calculation) valid and arrives as it
    // is: '"' and '\\', and the pilcrow (UTF-8 C2 B6), which a calculation's text literal would turn into a return.
    for (std::size_t i = 0; i < message.size(); ++i)
    {
        const char c = message[i];
        if (c == '"' || c == '\\' || (c == '\xC2' && i + 1 < message.size() && message[i + 1] == '\xB6'))
            calculation += '\\';
        calculation += c;
    }
    calculation += "\" ] ; \"\" )";
    return calculation;
}

fmx::errcode SetLastError(fmx::int16 code, const std::string &message, const fmx::ExprEnv &env)
{
    const std::string calculation = LastErrorCalculation(code, message);
    fmx::DataUniquePtr scratch;
    return Evaluate(calculation.data(), calculation.size(), env, *scratch);
}

fmx::errcode GetLastErrorCode(fmx::Data &result, const fmx::ExprEnv &env)
{
    return ReadVariable(
        VANTREL_LITERAL("If( IsEmpty( $$Vantrel_LastError ); \"No Error Message\"; $$Vantrel_LastError )"), env,
        [&](const fmx::Data &value) { result.SetAsNumber(value.GetAsNumber(), fmx::Data::kDTNumber); });
}

fmx::errcode GetLastErrorMessage(fmx::Data &result, const fmx::ExprEnv &env)
{
    return ReadVariable(
        VANTREL_LITERAL(
            "If( IsEmpty( $$Vantrel_LastErrorMessage ); \"No Error Message\"; $$Vantrel_LastErrorMessage )"),
        env, [&](const fmx::Data &value) { fmlib::SetTextResult(result, value.GetAsText()); });
}

fmx::errcode GetLastScriptStderr(fmx::Data &result, const fmx::ExprEnv &env)
{
    return ReadVariable(
        VANTREL_LITERAL(
            "If( IsEmpty( $$Vantrel_LastScriptStderr ); \"No Error Message\"; $$Vantrel_LastScriptStderr )"),
        env, [&](const fmx::Data &value) { fmlib::SetTextResult(result, value.GetAsText()); });
}

fmx::errcode ProcessSTDException(const std::exception &e, fmx::Data &result, const fmx::ExprEnv &env, bool)
{
    fmlib::FMErrCode2FMData(kExceptionError, result);
    return SetLastError(kExceptionError, e.what(), env);
}

fmx::errcode ProcessFatalException(fmx::Data &result, const fmx::ExprEnv &env, bool)
{
    fmlib::FMErrCode2FMData(kExceptionError, result);
    return SetLastError(kExceptionError, kFatalMessage, env);
}
}
