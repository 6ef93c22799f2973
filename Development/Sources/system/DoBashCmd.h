#ifndef VANTREL_SYSTEM_DOBASHCMD_H
#define VANTREL_SYSTEM_DOBASHCMD_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Runs its argument through the system shell as the server's user and answers the command's standard output
// (at most 8190 bytes). Governed by the allow-list only when its file has the option
// "shell-command-obeys-allow-list"; the last error is touched only by such a denial.
fmx::errcode Vantrel_DoBashCmd(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                               fmx::Data &result);

#endif
