#ifndef VANTREL_FRAME_PLUGINSTRINGS_H
#define VANTREL_FRAME_PLUGINSTRINGS_H

#include "FMWrapper/FMXExtern.h"

namespace vtl
{
// The texts the host asks for with the string request message.
constexpr fmx::uint32 kNameString = 1;
constexpr fmx::uint32 kDescriptionString = 2;
extern const char kDescription[];
extern const char kOptionsString[]; // "ZQVL1YnYYYn"
}

// Writes display text `which` (1 the name, 2 the description) as UTF-16 into buffer, at most capacity units and
// without terminator; any other `which` writes nothing. Returns the number of units written.
fmx::uint32 ReadString(fmx::unichar16 *buffer, fmx::uint32 capacity, fmx::uint32 which);

#endif
