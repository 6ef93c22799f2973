// How fmhost prints the outcome of a calculation.
#pragma once

#include <string>

namespace fmhost
{
// One JSON object on one line: {"calc":...,"error":N,"type":"...","value":"..."}.
std::string jsonLine(const std::string &calculation, int error, const std::string &type, const std::string &value);

// A JSON string literal of UTF-8 text; malformed UTF-8 becomes U+FFFD so the output stays valid JSON.
std::string jsonString(const std::string &utf8);

// The plain form: the text with its carriage returns shown as line breaks.
std::string plainLine(const std::string &value);
} // namespace fmhost
