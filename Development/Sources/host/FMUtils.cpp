#include "host/FMUtils.h"

#include <algorithm>
#include <atomic>

#include "FMWrapper/FMXExtern.h"
#include "host/TextConversion.h"

namespace
{
std::atomic<int> gHostVersion{0};
}

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

std::string cFMUtils::callingFileName(const fmx::ExprEnv &env)
{
    if (gHostVersion.load(std::memory_order_relaxed) >= k180ExtnVersion)
    {
        fmx::DataUniquePtr name;
        if (env.EvaluateGetFunction(fmx::ExprEnv::kGet_FileName, *name) == 0)
            return StringFromFmxText(name->GetAsText());
    }
    return evaluateCalculation("Get( fileName )", env);
}

void cFMUtils::setHostVersion(int version)
{
    gHostVersion.store(version, std::memory_order_relaxed);
}
