#ifndef VANTREL_HTML_GETASHTML_H
#define VANTREL_HTML_GETASHTML_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_GetAsHTML ( source { ; tagOption { ; classOption { ; styleOption } } } ): styled text, or the name of a
// variable holding it, as HTML with a style block of generated classes.
fmx::errcode Vantrel_GetAsHTML(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                               fmx::Data &result);

#endif
