#ifndef VANTREL_REGEX_REGEXPFUNCTIONS_H
#define VANTREL_REGEX_REGEXPFUNCTIONS_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_RegExp_Substitute( text ; searchPattern ; replaceString1 { ; replaceString2 ... } )
fmx::errcode Vantrel_RegExp_Substitute(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                       fmx::Data &result);

// Vantrel_RegExp_PatternCount( text ; searchPattern )
fmx::errcode Vantrel_RegExp_PatternCount(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                         fmx::Data &result);

#endif
