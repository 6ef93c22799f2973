#ifndef VANTREL_HTML_FRAGMENTPOSTPROCESSING_H
#define VANTREL_HTML_FRAGMENTPOSTPROCESSING_H

#include <cstddef>
#include <string>

#include "html/CssFormattings.h"
#include "html/Fragment.h"
#include "html/HtmlOptions.h"

namespace vtl::html
{
// Turns every fragment's formattings into elements, then classes, then inline style, as the options say.
void fragmentsPostProcessing(FragmentVector &fragments, cClassMap &classMap, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams);
// Folds each run of neighbours that look the same into the run's last fragment; returns the number of folds.
std::size_t mergeFragments(FragmentVector &fragments);
// The same for the fragments from index `from` on; the ones before it are left alone.
std::size_t mergeFragments(FragmentVector &fragments, std::size_t from);
bool fragmentsHaveEqualAppearance(const cFragment &a, const cFragment &b);
// The wrapper of a paragraph; alignment is "left", "center", "right", "full", "none" (no wrapper) or "".
cFragment createParagraphFragment(const std::string &alignment, const ParamVector &tagParams,
                                  const ParamVector &classParams, const ParamVector &styleParams,
                                  cClassMap &classMap);

// Move what every fragment of the paragraph shares up to the paragraph's wrapper.
void escalateSharedBlockElement(cFragment &paragraph, FragmentVector &fragments);
// A class or style stays with the fragments when the paragraph could not show it for them (see ElementStyles.h);
// the classes' CSS is looked up in classMap, and without it every shared class moves.
void escalateSharedCssClasses(cFragment &paragraph, FragmentVector &fragments, const cClassMap *classMap = nullptr);
void escalateSharedCssStyles(cFragment &paragraph, FragmentVector &fragments);
} // namespace vtl::html

#endif
