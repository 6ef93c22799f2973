// The CSS declarations of a character style, shared by the host's CSS and SVG exports of styled text.
#pragma once

#include "core/Styles.h"

#include <string>

namespace emu::calc
{
// Font, size, colour and faces as CSS declarations ("font-weight: bold;" ...), joined by `separator`; empty for
// the default style.
std::u16string cssOf(const CharStyle &style, const char16_t *separator = u" ");
// One character of text in the CSS export: &, < and > as entities, a carriage return as <BR>.
void appendEscaped(std::u16string &out, char16_t c);

// The CSS text-align of a paragraph alignment; null for the default one.
const char16_t *alignmentCss(Align align);
} // namespace emu::calc
