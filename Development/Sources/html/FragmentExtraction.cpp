#include "html/FragmentExtraction.h"

#include <cstdio>
#include <functional>
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

void closeFragment(cFragment &fragment, const std::vector<std::uint16_t> &units, std::size_t from, std::size_t to)
{
    fragment.characters.assign(units.begin() + static_cast<std::ptrdiff_t>(from),
                               units.begin() + static_cast<std::ptrdiff_t>(to));
    fragment.length = to - from;
    fragment.text = narrowOf(fragment.characters);
}

} // namespace

cStyleLooks::cStyleLooks(const fmx::ExprEnv &env) : env_(env) {}
cStyleLooks::~cStyleLooks() = default;

const std::shared_ptr<cStyleLook> &cStyleLooks::lookOf(const fmx::CharacterStyle &style, std::uint16_t unit)
{
    // Only word underlining draws a space differently, so other spaces share the look of their style.
    const bool isSpace = unit == kSpace && (style.GetFace() & kWordUnderline) != 0;
    if (last_ < looks_.size() && matches_(*looks_[last_], style, isSpace))
        return looks_[last_];
    for (std::size_t i = 0; i < looks_.size(); ++i)
        if (i != last_ && matches_(*looks_[i], style, isSpace))
            return looks_[last_ = i];

    auto look = std::make_shared<cStyleLook>();
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
    return looks_[last_];
}

bool cStyleLooks::matches_(const cStyleLook &look, const fmx::CharacterStyle &style, bool isSpace)
{
    return look.isSpace == isSpace && *look.style == style;
}

cFragment fragmentFromLook(const cStyleLook &look, std::uint64_t start)
{
    cFragment fragment;
    fragment.formattings = look.formattings;
    fragment.cssStyles = look.cssStyles;
    fragment.start = start;
    return fragment;
}

void forEachStyleRun(const fmx::Text &source, std::uint32_t position, const std::uint16_t *units, std::uint32_t size,
                     cStyleLooks &looks, const std::function<void(cStyleLook &, std::size_t, std::size_t)> &run)
{
    if (size == 0)
        return;
    fmx::CharacterStyleUniquePtr style;
    source.GetStyle(*style, position);
    // Held, so that the run's look stays alive and no later look can take its place in memory.
    std::shared_ptr<cStyleLook> current = looks.lookOf(*style, units[0]);
    std::size_t runStart = 0;
    for (std::uint32_t i = 1; i < size; ++i)
    {
        source.GetStyle(*style, position + i);
        const std::shared_ptr<cStyleLook> &look = looks.lookOf(*style, units[i]);
        if (look == current || look->inlineCSS == current->inlineCSS)
            continue;
        run(*current, runStart, i);
        current = look;
        runStart = i;
    }
    run(*current, runStart, size);
}

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
    const std::vector<std::uint16_t> units = unitsOf(source, position, size);
    cStyleLooks looks(env);
    forEachStyleRun(source, position, units.data(), size, looks, [&](cStyleLook &look, std::size_t from, std::size_t to) {
        cFragment fragment = fragmentFromLook(look, from);
        closeFragment(fragment, units, from, to);
        fragments.push_back(std::move(fragment));
    });
}
} // namespace vtl::html
