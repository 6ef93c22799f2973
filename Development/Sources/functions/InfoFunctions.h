#ifndef VANTREL_FUNCTIONS_INFOFUNCTIONS_H
#define VANTREL_FUNCTIONS_INFOFUNCTIONS_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_ValueType( value ): the host type name of value ("Text", "Number", ... "Boolean"; "" when invalid).
fmx::errcode Vantrel_ValueType(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);
// Vantrel_GetTimestamp: the current time in UTC as a timestamp with microseconds; an argument is ignored.
fmx::errcode Vantrel_GetTimestamp(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                  fmx::Data &result);

#endif
