#ifndef VANTREL_ERRORS_ERRORCODES_H
#define VANTREL_ERRORS_ERRORCODES_H

#include "FMWrapper/FMXExtern.h"

namespace vtl
{
// Codes the plug-in itself writes as a function's result and into $$Vantrel_LastError.
// Host error codes are passed on unchanged and never collide with these.
constexpr fmx::errcode kUsageError = -50;        // wrong or missing arguments; the function says which
constexpr fmx::errcode kExceptionError = 2400;   // an exception escaped a function's work
constexpr fmx::errcode kNotAllowedError = 24012; // the allow-list does not let the function run in this file
constexpr fmx::errcode kNotOnLinuxError = -4;    // the function does no work on Linux
constexpr fmx::errcode kShellTimeLimitError = 24013; // the allow-list's time limit ended a shell command

// Returned to the host only when even the error could not be recorded (the host itself is failing).
constexpr fmx::errcode kHostMemoryError = 2; // FileMaker's "memory error"
}

#endif
