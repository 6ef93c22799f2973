#ifndef VANTREL_ERRORS_LASTERROR_H
#define VANTREL_ERRORS_LASTERROR_H

#include <exception>
#include <string>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// The last-error state lives in the host's calculation variables $$Vantrel_LastError and
// $$Vantrel_LastErrorMessage of the caller's session; the plug-in keeps nothing itself.
// Every operation evaluates a small calculation in the caller's environment and returns the host's error code of
// that evaluation (0 on success). Failing SDK calls throw (std::bad_alloc / std::exception); nothing is caught here.
namespace vtl
{
// Sets both variables. The message may hold any character: '"', '\' and the pilcrow are escaped for the text literal.
fmx::errcode SetLastError(fmx::int16 code, const std::string &message, const fmx::ExprEnv &env);

// Write the code (number), the message (text) or $$Vantrel_LastScriptStderr (text) into result;
// "No Error Message" stands in for a variable that is empty.
fmx::errcode GetLastErrorCode(fmx::Data &result, const fmx::ExprEnv &env);
fmx::errcode GetLastErrorMessage(fmx::Data &result, const fmx::ExprEnv &env);
fmx::errcode GetLastScriptStderr(fmx::Data &result, const fmx::ExprEnv &env);

// Boundary handlers: write 2400 into result and record it with the exception's text ("Unknown fatal error occured"
// for an exception of unknown type). Return what SetLastError returned. writeZero is kept for callers that pass it;
// the code written is never 0, so it has no effect.
fmx::errcode ProcessSTDException(const std::exception &e, fmx::Data &result, const fmx::ExprEnv &env, bool writeZero);
fmx::errcode ProcessFatalException(fmx::Data &result, const fmx::ExprEnv &env, bool writeZero);

// The calculation text SetLastError evaluates (exposed for tests).
std::string LastErrorCalculation(fmx::int16 code, const std::string &message);
}

#endif
