#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_REGEXPPERFORMSUBSTITUTE_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_REGEXPPERFORMSUBSTITUTE_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXCalcEngine.h"

namespace fmlib
{
// Appends to output argument 1 (styled text) with the capture groups of every match of the ECMAScript pattern
// in argument 2 replaced: group k by argument k + 2, taken whole with its styles. Everything else, the parts of
// each match outside its replaced groups included, is copied from argument 1 with its styles.
// - When the pattern's first character carries a style, only matches whose first character has that same style
//   are substituted; the others are copied unchanged.
// - Groups beyond the replacements given, groups that did not take part in a match, and groups that start
//   inside a group already replaced keep their text.
// - Substitution ends at the first match whose group 1 is empty or did not take part (and with no group at all);
//   the text from there on is copied unchanged.
// Needs at least 3 arguments. Throws vtl::cRegExpError for an invalid pattern, a match that hits the limits, and
// a result that would exceed 2^27 characters.
void RegExpPerformSubstitute(fmx::Text &output, const fmx::DataVect &dataVect);
void RegExpPerformSubstitute_Impl(fmx::Text &output, const fmx::DataVect &dataVect);
}

#endif
