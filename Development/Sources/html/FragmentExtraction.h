#ifndef VANTREL_HTML_FRAGMENTEXTRACTION_H
#define VANTREL_HTML_FRAGMENTEXTRACTION_H

#include <cstdint>
#include <string>

#include "html/Fragment.h"

namespace fmx
{
class Text;
class ExprEnv;
class CharacterStyle;
}

namespace vtl::html
{
Formattings formattingsFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env);
std::string getFontColor(const fmx::CharacterStyle &style);
std::string getFontName(const fmx::CharacterStyle &style, const fmx::ExprEnv &env);
cFragment formattedFragmentFromFMCharacter(const fmx::Text &source, std::uint32_t position, const fmx::ExprEnv &env);

// Appends the fragments of the whole text, in text order; a fragment ends where the inline CSS changes.
void extractFragments(const fmx::Text &source, const fmx::ExprEnv &env, FragmentVector &fragments);
// The same for the positions [position, position + size) only, as if they were a text of their own.
void extractFragments(const fmx::Text &source, std::uint32_t position, std::uint32_t size, const fmx::ExprEnv &env,
                      FragmentVector &fragments);
} // namespace vtl::html

#endif
