#ifndef VANTREL_SYSTEM_DOBASHCMD_H
#define VANTREL_SYSTEM_DOBASHCMD_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Runs its argument through the system shell as the server's user and answers the command's standard output
// (at most 8190 bytes). Not governed by the allow-list; the last error is not touched.
fmx::errcode Vantrel_DoBashCmd(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                               fmx::Data &result);

#endif
