#ifndef VANTREL_NETWORK_NETWORKFUNCTIONS_H
#define VANTREL_NETWORK_NETWORKFUNCTIONS_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// The server's public IPv4 address as text, or the negative code of the last failed attempt
// (last error: that code with "Public IP is not available").
fmx::errcode Vantrel_GetClientPublicIPAddress(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                              fmx::Data &result);
// Host name of an IPv4 address, or a fixed message; the last error is not touched.
fmx::errcode Vantrel_GetNameForIP(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                  fmx::Data &result);
// First IPv4 address of a host name, or a fixed message; the last error is not touched.
fmx::errcode Vantrel_GetIPforName(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                  fmx::Data &result);

#endif
