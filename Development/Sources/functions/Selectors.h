#ifndef VANTREL_FUNCTIONS_SELECTORS_H
#define VANTREL_FUNCTIONS_SELECTORS_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_Get( selector { ; moreOptions } ): lastError, lastErrorMessage, timestamp, sort, stderr,
// inlineDocumentation (selectors in any letter case).
fmx::errcode Vantrel_Get(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);

// Vantrel_Set( selector ; newValue ): globalDieInterval, inlineDocumentation.
fmx::errcode Vantrel_Set(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);

#endif
