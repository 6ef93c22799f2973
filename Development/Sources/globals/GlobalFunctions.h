#ifndef VANTREL_GLOBALS_GLOBALFUNCTIONS_H
#define VANTREL_GLOBALS_GLOBALFUNCTIONS_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_SetGlobal( key ; value { ; moreOptions } ): stores value under key for the whole server process and
// returns it; empty text as value removes the key, an empty key empties every global; moreOptions "dieonclose"
// binds the key to the calling file.
fmx::errcode Vantrel_SetGlobal(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                               fmx::Data &result);

// Vantrel_GetGlobal( key ): the value stored under key with its type; empty when nothing is stored.
fmx::errcode Vantrel_GetGlobal(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                               fmx::Data &result);

#endif
