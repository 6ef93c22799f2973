#ifndef VANTREL_HOST_TEXTCONVERSION_H
#define VANTREL_HOST_TEXTCONVERSION_H

#include <string>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"

// The whole UTF-8 form of text (zero characters included).
std::string Utf8FromFmText(const fmx::Text &text);
// The UTF-8 form of text up to its first zero character.
std::string StringFromFmText(const fmx::Text &text);
std::string StringFromFmText(const fmx::TextUniquePtr &text);

// Copy with every byte lower-cased by the C library (ASCII letters only in the C locale).
std::string toLower(std::string text);

// Length 0.
bool isEmpty(const fmx::Text &text);
// Exactly one space.
bool isSpace(const fmx::Text &text);

#endif
