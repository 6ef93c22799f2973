#include "host/NativeText.h"

#include <cstring>
#include <vector>

std::string NativeBytesFromFmText(const fmx::Text &text, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    text.GetBytes(buffer.data(), static_cast<fmx::uint32>(buffer.size()), 0, fmx::Text::kSize_End,
                  fmx::Text::kEncoding_Native);
    buffer.back() = '\0';  // whatever the host wrote, the string ends inside the buffer
    return std::string(buffer.data());
}
