#include "html/HostText.h"

#include <algorithm>

#include "FMWrapper/FMXText.h"
#include "host/TextConversion.h"

namespace vtl::html
{
void appendNarrow(fmx::Text &output, const std::string &narrow)
{
    if (narrow.empty())
        return;
    fmx::TextUniquePtr piece;
    piece->AssignWithLength(narrow.data(), static_cast<fmx::uint32>(narrow.size()), fmx::Text::kEncoding_Native);
    output.AppendText(*piece);
}

std::vector<std::uint16_t> unitsOf(const fmx::Text &text, std::uint32_t position, std::uint32_t size)
{
    std::vector<std::uint16_t> units(size);
    if (size > 0)
        text.GetUnicode(units.data(), position, size);
    return units;
}

std::string narrowOf(const std::vector<std::uint16_t> &units)
{
    // ASCII is its own UTF-8 form; only other text needs the host's conversion.
    if (std::all_of(units.begin(), units.end(), [](std::uint16_t unit) { return unit < 0x80; }))
        return std::string(units.begin(), units.end());
    fmx::TextUniquePtr text;
    text->AssignUnicodeWithLength(units.data(), static_cast<fmx::uint32>(units.size()));
    return StringFromFmText(*text);
}
} // namespace vtl::html
