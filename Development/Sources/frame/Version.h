#ifndef VANTREL_FRAME_VERSION_H
#define VANTREL_FRAME_VERSION_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "frame/VersionNumbers.h"

namespace vtl
{
constexpr const char *kPluginName = "Zeq Vantrel Plug-In";
}

// Vantrel_Version( { versionFormat } ): "short" (default), "long", "platform" or "autoupdate".
fmx::errcode Vantrel_Version(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);

#endif
