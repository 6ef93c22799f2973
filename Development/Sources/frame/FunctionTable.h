#ifndef VANTREL_FRAME_FUNCTIONTABLE_H
#define VANTREL_FRAME_FUNCTIONTABLE_H

#include <cstddef>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXCalcEngine.h"

// The external functions the plug-in registers, and their registration. To add a function, add one row to the
// table in FunctionTable.cpp (keep ascending ids) and include the header of your subsystem that declares it.
namespace vtl
{
// The host's flag sets used by the table.
constexpr fmx::uint32 kListed = 0xFF01;     // evaluates on the server, listed in every calculation dialog
constexpr fmx::uint32 kServerOnly = 0x0001; // evaluates on the server, listed in no dialog

struct cFunctionEntry
{
    short id;                          // also gives the prototype's string id: id + 100
    short minArgs;
    short maxArgs;                     // -1: any number
    fmx::uint32 flags;
    fmx::ExtPluginType implementation;
    const char *prototype;             // shown in the host's dialogs; the name is the part before "("
};

const cFunctionEntry *FunctionTable();
std::size_t FunctionTableSize();

// The plug-in id "ZQVL" every function is registered under (also the start of the options string).
extern const char kPluginId[5];
}

// Fills text with the prototype of string id (function id + 100), or with only the function name;
// "ERROR" for an id without a function.
void FunctionPrototypeText(fmx::int16 stringId, fmx::Text &text, bool nameOnly);

// Registers one function of the table; the host's error code. An id outside the table gives -1 (not registered).
fmx::errcode RegisterExternalFunction(fmx::int16 functionId, fmx::int16 minArgs, fmx::int16 maxArgs,
                                      fmx::uint32 flags, fmx::ExtPluginType implementation);
fmx::errcode UnRegisterExternalFunction(fmx::int16 functionId);

// All or nothing: on the first refusal (or a host failure) every function registered so far is withdrawn, newest
// first, and the answer is false.
bool RegisterExternalFunctions();
// Withdraws every function of the table, newest first; the host's answers are ignored.
void UnRegisterExternalFunctions();

#endif
