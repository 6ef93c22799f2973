#ifndef VANTREL_HTML_FRAGMENTEXTRACTION_H
#define VANTREL_HTML_FRAGMENTEXTRACTION_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "FMWrapper/FMXTextStyle.h"
#include "html/Fragment.h"

namespace fmx
{
class Text;
class ExprEnv;
class CharacterStyle;
}

namespace vtl::html
{
// What characters of one style look like, and what a conversion has made of that (`appearance`, its number for
// the appearance of these characters once elements, classes and styles are assigned).
struct cStyleLook
{
    static constexpr std::uint32_t kNoAppearance = std::numeric_limits<std::uint32_t>::max();
    fmx::CharacterStyleUniquePtr style;
    bool isSpace = false;   // a space under word underlining
    Formattings formattings;
    CssMap cssStyles;
    std::string inlineCSS;
    std::uint32_t appearance = kNoAppearance;
};

// Reading a style's formattings costs a font look-up through the host, so a conversion remembers the styles it
// has seen lately; a long text uses few of them.
class cStyleLooks
{
public:
    explicit cStyleLooks(const fmx::ExprEnv &env);
    ~cStyleLooks();
    // The look of a character of this style; unit is the character itself.
    const std::shared_ptr<cStyleLook> &lookOf(const fmx::CharacterStyle &style, std::uint16_t unit);

private:
    static constexpr std::size_t kCapacity = 32;
    static bool matches_(const cStyleLook &look, const fmx::CharacterStyle &style, bool isSpace);

    const fmx::ExprEnv &env_;
    std::vector<std::shared_ptr<cStyleLook>> looks_;
    std::size_t last_ = 0;
    std::size_t evict_ = 0;
};

Formattings formattingsFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env);
std::string getFontColor(const fmx::CharacterStyle &style);
std::string getFontName(const fmx::CharacterStyle &style, const fmx::ExprEnv &env);
cFragment formattedFragmentFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env);

cFragment fragmentFromLook(const cStyleLook &look, std::uint64_t start);
// Calls run(look, begin, end) for each run of the positions [position, position + size) of the text in which the
// inline CSS stays the same, with the look of the run's first character; begin and end count from position.
// units holds the text's units of those positions.
void forEachStyleRun(const fmx::Text &source, std::uint32_t position, const std::uint16_t *units, std::uint32_t size,
                     cStyleLooks &looks, const std::function<void(cStyleLook &, std::size_t, std::size_t)> &run);

// Appends the fragments of the whole text, in text order; a fragment ends where the inline CSS changes.
void extractFragments(const fmx::Text &source, const fmx::ExprEnv &env, FragmentVector &fragments);
// The same for the positions [position, position + size) only, as if they were a text of their own.
void extractFragments(const fmx::Text &source, std::uint32_t position, std::uint32_t size, const fmx::ExprEnv &env,
                      FragmentVector &fragments);
} // namespace vtl::html

#endif
