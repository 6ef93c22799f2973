#include "html/FragmentExtraction.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "html/CssFormattings.h"
#include "html/HostText.h"
#include "html/SafeMarkup.h"
#include "host/TextConversion.h"

namespace vtl::html
{
namespace
{
constexpr std::uint16_t kSpace = 32;

enum : fmx::CharacterStyle::Face
{
    kStrikethrough = 0x0001,
    kSmallCaps = 0x0002,
    kSuperscript = 0x0004,
    kSubscript = 0x0008,
    kUppercase = 0x0010,
    kLowercase = 0x0020,
    kWordUnderline = 0x0040,
    kDoubleUnderline = 0x0080,
    kBold = 0x0100,
    kItalic = 0x0200,
    kUnderline = 0x0400,
    kHighlight = 0x1000,
    kCondense = 0x2000,
    kExtend = 0x4000,
};

// The formattings of a character with this style; isSpace matters only to the word-underline rule.
Formattings formattingsFromStyle(const fmx::CharacterStyle &style, bool isSpace, const fmx::ExprEnv &env)
{
    Formattings formattings;
    if (style.IsAllDisabled())
        return formattings;
    const fmx::CharacterStyle::Face face = style.GetFace();
    auto has = [face](fmx::CharacterStyle::Face bit) { return (face & bit) != 0; };
    auto flag = [&formattings](const char *key) { formattings.emplace(key, ""); };

    if (has(kItalic))
        flag("italic");
    if (has(kBold))
        flag("bold");
    if (has(kHighlight))
        flag("highlight");
    if (has(kUnderline))
        flag("underline");
    else if (has(kDoubleUnderline))
        flag("doubleunderline");
    else if (has(kWordUnderline) && isSpace)
        flag("underline");
    if (has(kStrikethrough))
        flag("strikethrough");
    if (has(kCondense))
        flag("condense");
    else if (has(kExtend))
        flag("extend");
    if (has(kSuperscript))
        flag("superscript");
    else if (has(kSubscript))
        flag("subscript");
    if (has(kSmallCaps))
        flag("smallcaps");
    if (has(kUppercase) && has(kLowercase))
        flag("titlecase");
    else if (has(kUppercase))
        flag("uppercase");
    else if (has(kLowercase))
        flag("lowercase");

    std::string color = getFontColor(style);
    if (!color.empty())
        formattings["color"] = std::move(color);
    std::string font = getFontName(style, env);
    if (!font.empty())
        formattings["font"] = std::move(font);
    if (style.IsSizeEnabled())
        formattings["size"] = std::to_string(static_cast<int>(style.GetSize())) + "px";
    return formattings;
}

std::uint16_t unitAt(const fmx::Text &source, std::uint32_t position)
{
    return unitsOf(source, position, 1).front();
}

// What characters of one style look like. Reading a style's formattings costs a font look-up through the
// host, so one conversion remembers the styles it has seen; a long text uses few of them.
struct cStyleLook
{
    fmx::CharacterStyleUniquePtr style;
    bool isSpace = false;
    Formattings formattings;
    CssMap cssStyles;
    std::string inlineCSS;
};

class cStyleLooks
{
public:
    explicit cStyleLooks(const fmx::ExprEnv &env) : env_(env) {}

    const cStyleLook &lookOf(const fmx::CharacterStyle &style, bool isSpace)
    {
        if (last_ < looks_.size() && matches_(*looks_[last_], style, isSpace))
            return *looks_[last_];
        for (std::size_t i = 0; i < looks_.size(); ++i)
            if (i != last_ && matches_(*looks_[i], style, isSpace))
                return *looks_[last_ = i];

        auto look = std::make_unique<cStyleLook>();
        *look->style = style;
        look->isSpace = isSpace;
        look->formattings = formattingsFromStyle(style, isSpace, env_);
        look->cssStyles = CSSFromFormattings(look->formattings);
        look->inlineCSS = serialize_CSS(look->cssStyles, "");
        if (looks_.size() < kCapacity)
        {
            last_ = looks_.size();
            looks_.push_back(std::move(look));
        }
        else
        {
            last_ = evict_;
            evict_ = (evict_ + 1) % kCapacity;
            looks_[last_] = std::move(look);
        }
        return *looks_[last_];
    }

private:
    static constexpr std::size_t kCapacity = 32;

    static bool matches_(const cStyleLook &look, const fmx::CharacterStyle &style, bool isSpace)
    {
        return look.isSpace == isSpace && *look.style == style;
    }

    const fmx::ExprEnv &env_;
    std::vector<std::unique_ptr<cStyleLook>> looks_;
    std::size_t last_ = 0;
    std::size_t evict_ = 0;
};

void closeFragment(cFragment &fragment, const std::vector<std::uint16_t> &units, std::size_t from, std::size_t to)
{
    fragment.characters.assign(units.begin() + static_cast<std::ptrdiff_t>(from),
                               units.begin() + static_cast<std::ptrdiff_t>(to));
    fragment.length = to - from;
    fragment.text = narrowOf(fragment.characters);
}

cFragment fragmentFromLook(const cStyleLook &look, std::uint64_t start)
{
    cFragment fragment;
    fragment.formattings = look.formattings;
    fragment.cssStyles = look.cssStyles;
    fragment.start = start;
    return fragment;
}
} // namespace

std::string getFontColor(const fmx::CharacterStyle &style)
{
    if (!style.IsColorEnabled())
        return std::string();
    const fmx::CharacterStyle::Color &color = style.GetColor();
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<unsigned>(color.GetRed()),
                  static_cast<unsigned>(color.GetGreen()), static_cast<unsigned>(color.GetBlue()));
    return buffer;
}

std::string getFontName(const fmx::CharacterStyle &style, const fmx::ExprEnv &env)
{
    fmx::DataUniquePtr data;
    fmx::TextUniquePtr name;
    fmx::CharacterStyle::FontScript script = 0;
    // The host's display-name look-up; the header marks its wrapper deprecated, the C function is the same.
    fmx::_fmxcpt x;
    const bool known = FM_Data_GetFontInfo(data.get(), style.GetFont(), *name, script, env, x);
    x.Check();
    // A name that no CSS text can hold (a NUL, half a surrogate pair) is left out rather than cut or mangled.
    if (!known || hasUnwritableUnits(unitsOf(*name, 0, name->GetSize())))
        return std::string();
    return StringFromFmText(*name);
}

Formattings formattingsFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env)
{
    fmx::CharacterStyleUniquePtr style;
    source.GetStyle(*style, position);
    return formattingsFromStyle(*style, unitAt(source, position) == kSpace, env);
}

cFragment formattedFragmentFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env)
{
    cFragment fragment;
    fragment.formattings = formattingsFromFMCharacter(source, position, env);
    fragment.cssStyles = CSSFromFormattings(fragment.formattings);
    return fragment;
}

void extractFragments(const fmx::Text &source, const fmx::ExprEnv &env, FragmentVector &fragments)
{
    extractFragments(source, 0, source.GetSize(), env, fragments);
}

void extractFragments(const fmx::Text &source, std::uint32_t position, std::uint32_t size, const fmx::ExprEnv &env,
                      FragmentVector &fragments)
{
    if (size == 0)
        return;
    const std::vector<std::uint16_t> units = unitsOf(source, position, size);
    cStyleLooks looks(env);
    fmx::CharacterStyleUniquePtr style;

    source.GetStyle(*style, position);
    const cStyleLook *look = &looks.lookOf(*style, units[0] == kSpace);
    cFragment current = fragmentFromLook(*look, 0);
    std::string currentKey = look->inlineCSS;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i < size; ++i)
    {
        source.GetStyle(*style, position + static_cast<std::uint32_t>(i));
        look = &looks.lookOf(*style, units[i] == kSpace);
        if (look->inlineCSS == currentKey)
            continue;
        closeFragment(current, units, runStart, i);
        fragments.push_back(std::move(current));
        current = fragmentFromLook(*look, i);
        currentKey = look->inlineCSS;
        runStart = i;
    }
    closeFragment(current, units, runStart, size);
    fragments.push_back(std::move(current));
}
} // namespace vtl::html
