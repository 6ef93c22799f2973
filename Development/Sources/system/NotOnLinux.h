#ifndef VANTREL_SYSTEM_NOTONLINUX_H
#define VANTREL_SYSTEM_NOTONLINUX_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Functions registered for compatibility with other platforms. On Linux each answers -4 and records -4 with
// "Linux doesn't support this function." ("Not implemented in Linux." for Vantrel_DoSystemScript).
#define VANTREL_NOT_ON_LINUX(name) \
    fmx::errcode name(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);
VANTREL_NOT_ON_LINUX(Vantrel_Encode)
VANTREL_NOT_ON_LINUX(Vantrel_Decode)
VANTREL_NOT_ON_LINUX(Vantrel_MergeText)
VANTREL_NOT_ON_LINUX(Vantrel_DoFileMakerScript)
VANTREL_NOT_ON_LINUX(Vantrel_DoSystemScript)
VANTREL_NOT_ON_LINUX(Vantrel_GetDefaultPrinter)
VANTREL_NOT_ON_LINUX(Vantrel_SetDefaultPrinter)
VANTREL_NOT_ON_LINUX(Vantrel_GetPrinterNames)
VANTREL_NOT_ON_LINUX(Vantrel_GetSpecialWindows)
VANTREL_NOT_ON_LINUX(Vantrel_SetScriptShortcut)
#undef VANTREL_NOT_ON_LINUX

#endif
