#include "iOS_SupportFunctions/WideText.h"

#include <vector>

namespace fmlib
{
std::wstring WStringFromFMText(const fmx::Text &text)
{
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return std::wstring();
    std::vector<fmx::uint16> units(size);
    text.GetUnicode(units.data(), 0, size);
    std::wstring wide;
    wide.reserve(size);
    for (fmx::uint16 unit : units)
    {
        if (unit == 0)
            break;
        wide.push_back(static_cast<wchar_t>(unit));
    }
    return wide;
}
}
