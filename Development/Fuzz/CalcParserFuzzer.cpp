// Calculation texts reach the emulator's parser from scripts, from tests and from the plug-in itself: any text must
// parse or fail cleanly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "calc/Parser.h"

namespace
{
// Lenient UTF-8: a byte that starts no valid sequence stands for itself, so every input reaches the parser.
std::u16string Decode(const uint8_t *data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i < size;)
    {
        const uint8_t b = data[i];
        if (b >= 0xE0 && b < 0xF0 && i + 2 < size && (data[i + 1] & 0xC0) == 0x80 && (data[i + 2] & 0xC0) == 0x80)
        {
            text.push_back(static_cast<char16_t>(((b & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) | (data[i + 2] & 0x3F)));
            i += 3;
        }
        else if (b >= 0xC0 && b < 0xE0 && i + 1 < size && (data[i + 1] & 0xC0) == 0x80)
        {
            text.push_back(static_cast<char16_t>(((b & 0x1F) << 6) | (data[i + 1] & 0x3F)));
            i += 2;
        }
        else
        {
            text.push_back(b);
            ++i;
        }
    }
    return text;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    emu::calc::Program program;
    emu::calc::Failure failure;
    emu::calc::parse(Decode(data, size), program, failure);
    return 0;
}
