#include "globals/FString.h"

#include <vector>

FString vtl::FStringFromText(const fmx::Text &text)
{
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return FString();
    FString units(size, u'\0');
    static_assert(sizeof(char16_t) == sizeof(fmx::uint16), "host text units are 16 bits wide");
    text.GetUnicode(reinterpret_cast<fmx::uint16 *>(&units[0]), 0, size);
    return units;
}

FString vtl::FStringFromData(const fmx::Data &data)
{
    return FStringFromText(data.GetAsText());
}
