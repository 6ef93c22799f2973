#ifndef VANTREL_REGEX_ECMASCRIPTTRANSLATOR_H
#define VANTREL_REGEX_ECMASCRIPTTRANSLATOR_H

#include <cstdint>
#include <string>
#include <string_view>

namespace vtl {

// A pattern of the ECMAScript grammar (no flags, Annex B syntax as web browsers
// and Node accept it) rewritten for PCRE2's 16-bit library without UTF mode, where
// one code unit is one UTF-16 unit of the subject, as in ECMAScript.
struct sTranslatedPattern {
    std::string pcrePattern;  // ASCII only: every other character is written as \x{...}
    uint32_t groupCount = 0;  // capturing groups, named ones included, in ECMAScript order
    // Repeats whose body can match the empty text get callouts (?C1) ... (?Cn) at the end of each repetition,
    // which must refuse an empty repetition unless it is a required one. Callout k finds the start of its
    // repetition in the hidden group "_ik" and, for a repeat with required repetitions, the start of the
    // whole repeat in "_sk". The pattern's own groups are then named too, group k "_k".
    uint32_t emptyIterationChecks = 0;
    // Budget callouts let the matcher's time budget see work that grows inside one backtracking step: (?C) after
    // each repetition of a long greedy repeat, (?C'k') before a back-reference to group k.
    bool namedGroups = false;
};

// Throws cRegExpError, worded like a JavaScript SyntaxError, for every pattern
// that ECMAScript rejects and for the few it accepts but PCRE2 cannot express.
sTranslatedPattern TranslateECMAScriptPattern(std::u16string_view pattern);

// The pattern as UTF-8 for messages, its first 200 units and "..." when longer;
// unpaired surrogates become U+FFFD.
std::string PatternForMessage(std::u16string_view pattern);

}  // namespace vtl

#endif
