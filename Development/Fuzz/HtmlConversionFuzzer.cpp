// Styled source texts and the three option texts of the HTML conversion come from calculations: any combination
// must convert or fail cleanly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "html/HtmlConversion.h"

namespace
{
// The input is cut at byte 0x01 into source, tag option, class option and style option.
std::vector<std::string> Parts(const uint8_t *data, size_t size)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0x01 && parts.size() < 4)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    parts.resize(4);
    return parts;
}

void AssignLatin1(fmx::Text &text, const std::string &bytes)
{
    std::u16string units;
    for (unsigned char c : bytes)
        units.push_back(c == 0xB6 ? u'\r' : c == 0xA8 ? u'\u2028' : static_cast<char16_t>(c));
    text.AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(units.data()),
                                 static_cast<fmx::uint32>(units.size()));
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FMHost::Session *session = [] {
        auto *s = new FMHost::Session();
        s->OpenFile("Invoices");
        return s;
    }();
    const std::vector<std::string> parts = Parts(data, size);
    fmx::TextUniquePtr source, tags, classes, styles, output;
    AssignLatin1(*source, parts[0]);
    // Every third character starts a run whose style the character's own byte decides.
    for (size_t i = 0; i < parts[0].size(); i += 3)
    {
        const unsigned char b = static_cast<unsigned char>(parts[0][i]);
        fmx::ColorUniquePtr color(static_cast<fmx::uchar>(b * 7), static_cast<fmx::uchar>(b * 13), static_cast<fmx::uchar>(b));
        fmx::CharacterStyleUniquePtr style(static_cast<fmx::CharacterStyle::FontID>(b % 4),
                                           static_cast<fmx::CharacterStyle::Face>((b * 129) & 0x7FFF),
                                           static_cast<fmx::CharacterStyle::FontSize>(8 + b % 5), *color);
        source->SetStyle(*style, static_cast<fmx::uint32>(i), 3);
    }
    AssignLatin1(*tags, parts[1]);
    AssignLatin1(*classes, parts[2]);
    AssignLatin1(*styles, parts[3]);
    try
    {
        vtl::html::transformRichtextToHTMLWithEvaluate(*source, *tags, *classes, *styles, session->Env(), *output);
    }
    catch (const std::exception &)
    {
        // Reported as 2400 by the function's boundary.
    }
    return 0;
}
