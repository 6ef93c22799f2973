#include "host/FMUtils.h"

#include <algorithm>

#include "host/TextConversion.h"

std::vector<char> cFMUtils::CharsFromFMText(const fmx::Text &text)
{
    const std::string utf8 = Utf8FromFmText(text);
    std::vector<char> bytes(utf8.begin(), utf8.end());
    bytes.push_back('\0');
    return bytes;
}

std::string cFMUtils::StringFromFmxText(const fmx::Text &text, bool)
{
    std::string utf8 = Utf8FromFmText(text);
    utf8.erase(std::remove(utf8.begin(), utf8.end(), '\0'), utf8.end());
    return utf8;
}

std::string cFMUtils::evaluateCalculation(const std::string &calculation, const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr text;
    text->AssignWithLength(calculation.data(), static_cast<fmx::uint32>(calculation.size()),
                           fmx::Text::kEncoding_Native);
    fmx::DataUniquePtr value;
    if (env.Evaluate(*text, *value) != 0)
        return "?";
    return StringFromFmxText(value->GetAsText());
}
