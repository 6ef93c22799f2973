#include "frame/PluginStrings.h"

#include <algorithm>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"
#include "frame/Version.h"

namespace vtl
{
// Paragraphs are separated by the two characters backslash and n, twice: that is how the host expects them.
const char kDescription[] = "Collection of useful and sometimes indispensable functions.\\n\\n"
                            "Made by Zeq, 2009-2026\\n\\n"
                            "Version " VANTREL_SHORT_VERSION;
// Character 10 asks the host for the session and file shutdown messages, which end local globals.
const char kOptionsString[] = "ZQVL1YnYYYn";
}

fmx::uint32 ReadString(fmx::unichar16 *buffer, fmx::uint32 capacity, fmx::uint32 which)
{
    const char *source = which == vtl::kNameString ? vtl::kPluginName
                         : which == vtl::kDescriptionString ? vtl::kDescription
                                                            : nullptr;
    if (source == nullptr || buffer == nullptr)
        return 0;
    fmx::TextUniquePtr text;
    text->Assign(source, fmx::Text::kEncoding_Native);
    const fmx::uint32 units = std::min(text->GetSize(), capacity);
    if (units > 0)
        text->GetUnicode(buffer, 0, units);
    return units;
}
