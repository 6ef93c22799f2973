// Reading UTF-8 one character at a time, for checking test files and writing reports that stay well-formed.
#pragma once

#include <cstddef>
#include <string>

namespace fmhost
{
// Reads the character at `at`: its code point, with `at` moved past it. False for a byte that does not start a
// well-formed sequence (overlong forms, surrogates and values above U+10FFFF included); `at` then moves past that
// one byte.
bool nextUtf8Character(const std::string &text, std::size_t &at, char32_t &character);

// The offset of the first byte where the text stops being UTF-8, npos when all of it is.
std::size_t firstNonUtf8Byte(const std::string &text);

void appendUtf8(std::string &out, char32_t character);
} // namespace fmhost
