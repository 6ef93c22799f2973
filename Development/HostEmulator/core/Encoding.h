// Conversions between UTF-16 and the byte encodings of the host: 0 (native) and 1 are UTF-8, 3 is Windows-1252,
// 4 is Mac Roman, 5 is ISO 8859-1, 36 is ISO 8859-15. Other encodings are not supported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace emu {

bool EncodingSupported(int32_t encoding);

// Decodes bytes; malformed UTF-8 becomes U+FFFD. False for an unsupported encoding.
bool DecodeBytes(const char *bytes, size_t length, int32_t encoding, std::u16string &out);

// Encodes UTF-16 units; a character the encoding lacks becomes '?', an unpaired surrogate U+FFFD.
// Writes at most `capacity` bytes and never splits a character; returns the bytes written, or the bytes needed
// when `out` is null. `units` returns how many UTF-16 units were consumed.
size_t EncodeUnits(const char16_t *src, size_t count, int32_t encoding, char *out, size_t capacity, size_t *units = nullptr);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace emu
