#include "html/FragmentPostProcessing.h"

#include <algorithm>
#include <iostream>

#include "html/ElementStyles.h"

namespace vtl::html
{
namespace
{
const std::string kAll = "all";
const std::string kDefaultClassBase = "vtl";

// An option pair with its key already split at "+", so each fragment does not split it again.
struct cKeyRule
{
    std::vector<std::string> parts;
    std::string value;
    bool all = false;
};

bool hasAll(const Formattings &formattings, const std::vector<std::string> &parts)
{
    return std::all_of(parts.begin(), parts.end(),
                       [&formattings](const std::string &part) { return formattings.count(part) != 0; });
}

template <typename T> bool contains(const std::vector<T> &list, const T &item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <typename T> void removeAll(std::vector<T> &list, const T &item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

std::vector<cKeyRule> tagRules(const ParamVector &tagParams)
{
    std::vector<cKeyRule> rules;
    for (const auto &[key, element] : tagParams)
        if (!key.empty() && !element.empty())
            rules.push_back({explode(key, '+'), element, false});
    return rules;
}

std::vector<cKeyRule> classRules(const ParamVector &classParams)
{
    std::vector<cKeyRule> rules;
    for (const auto &[key, base] : classParams)
    {
        if (key.empty())
            continue;
        const bool all = key == kAll;
        rules.push_back({all ? std::vector<std::string>() : explode(key, '+'), base.empty() ? kDefaultClassBase : base,
                         all});
        if (all)
            break;   // "all" has taken whatever is left
    }
    return rules;
}

void assignElements(cFragment &fragment, const std::vector<cKeyRule> &rules)
{
    for (const cKeyRule &rule : rules)
    {
        if (!hasAll(fragment.formattings, rule.parts))
            continue;
        for (const std::string &part : rule.parts)
            fragment.formattings.erase(part);
        fragment.tags.push_back(rule.value);
    }
}

void assignClasses(cFragment &fragment, const std::vector<cKeyRule> &rules, cClassMap &classMap)
{
    for (const cKeyRule &rule : rules)
    {
        Formattings used;
        if (rule.all)
            used = fragment.formattings;
        else if (hasAll(fragment.formattings, rule.parts))
            for (const std::string &part : rule.parts)
                used.insert(*fragment.formattings.find(part));
        else
            continue;
        const std::string css = serialize_CSS(CSSFromFormattings(used), "");
        if (css.empty())
            continue;
        fragment.cssClasses.push_back(get_or_create_class(css, rule.value, classMap));
        for (const auto &entry : used)
            fragment.formattings.erase(entry.first);
    }
}

void assignStyles(cFragment &fragment, const ParamVector &styleParams, bool keepAll)
{
    if (!keepAll)
        for (auto it = fragment.formattings.begin(); it != fragment.formattings.end();)
            it = paramVectorHasKey(styleParams, it->first) ? std::next(it) : fragment.formattings.erase(it);
    fragment.cssStyles = CSSFromFormattings(fragment.formattings);
    fragment.formattings.clear();
}

// The left fragment's text and the right one's before the fold; the joined text is the two together.
void traceMerge(const std::string &left, const std::string &right)
{
#ifdef VANTREL_HTML_MERGE_TRACE
    // Only when built with -DVANTREL_HTML_MERGE_TRACE: a server's standard output is no place for one line per
    // merge, and a long run of merges would print its joined text over and over.
    std::cout << "Merging 2 fragments: '" << left << "' + '" << left << right << "' " << std::endl;
#else
    (void)left;
    (void)right;
#endif
}

bool sharedByAll(const FragmentVector &fragments, const std::string &item,
                 std::vector<std::string> cFragment::*member)
{
    return std::all_of(fragments.begin() + 1, fragments.end(),
                       [&](const cFragment &fragment) { return contains(fragment.*member, item); });
}
} // namespace

void fragmentsPostProcessing(FragmentVector &fragments, cClassMap &classMap, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams)
{
    const std::vector<cKeyRule> tags = tagRules(tagParams);
    const std::vector<cKeyRule> classes = classRules(classParams);
    const bool keepAllStyles = paramVectorHasKey(styleParams, kAll);
    for (cFragment &fragment : fragments)
    {
        assignElements(fragment, tags);
        assignClasses(fragment, classes, classMap);
        assignStyles(fragment, styleParams, keepAllStyles);
    }
}

bool fragmentsHaveEqualAppearance(const cFragment &a, const cFragment &b)
{
    return a.tags == b.tags && a.cssClasses == b.cssClasses && a.cssStyles == b.cssStyles;
}

std::size_t mergeFragments(FragmentVector &fragments)
{
    return mergeFragments(fragments, 0);
}

std::size_t mergeFragments(FragmentVector &fragments, std::size_t from)
{
    // Each run of equal neighbours is joined in one pass into its last fragment; joining pairwise by
    // inserting in front would copy a long run over and over.
    std::size_t merges = 0;
    std::size_t i = from + 1;
    while (i < fragments.size())
    {
        if (!fragmentsHaveEqualAppearance(fragments[i - 1], fragments[i]))
        {
            ++i;
            continue;
        }
        const std::size_t first = i - 1;
        std::size_t last = i;
        while (last + 1 < fragments.size() && fragmentsHaveEqualAppearance(fragments[last], fragments[last + 1]))
            ++last;

        std::size_t units = 0;
        std::uint64_t length = 0;
        for (std::size_t k = first; k <= last; ++k)
        {
            units += fragments[k].characters.size();
            length += fragments[k].length;
        }
        std::vector<std::uint16_t> characters;
        characters.reserve(units);
        std::string text;
        for (std::size_t k = first; k <= last; ++k)
        {
            cFragment &part = fragments[k];
            characters.insert(characters.end(), part.characters.begin(), part.characters.end());
            if (k == first)
            {
                text = part.text;
                continue;
            }
            traceMerge(text, part.text);
            text += part.text;
        }
        cFragment &survivor = fragments[last];
        survivor.start = fragments[first].start;
        survivor.length = length;
        survivor.characters = std::move(characters);
        survivor.text = std::move(text);
        for (std::size_t k = first; k < last; ++k)
        {
            fragments[k].characters.clear();
            fragments[k].length = 0;
        }
        merges += last - first;
        i = last + 1;
    }
    return merges;
}

cFragment createParagraphFragment(const std::string &alignment, const ParamVector &tagParams,
                                  const ParamVector &classParams, const ParamVector &styleParams,
                                  cClassMap &classMap)
{
    cFragment paragraph;
    if (alignment == "none")
        return paragraph;
    if (paramVectorHasKey(tagParams, alignment))
    {
        paragraph.tags.push_back(paramVectorGetValue(tagParams, alignment));
        return paragraph;
    }
    paragraph.tags.push_back("p");

    std::string cssAlignment;
    if (alignment == "right" || alignment == "center")
        cssAlignment = alignment;
    else if (alignment == "full")
        cssAlignment = "justify";
    if (cssAlignment.empty())
        return paragraph;

    const std::string &classKey = paramVectorHasKey(classParams, alignment) ? alignment : kAll;
    if (paramVectorHasKey(classParams, classKey))
    {
        const std::string base = paramVectorGetValue(classParams, classKey);
        if (!base.empty())
            paragraph.cssClasses.push_back(get_or_create_class("text-align:" + cssAlignment + ";", base, classMap));
    }
    else if (paramVectorHasKey(styleParams, alignment) || paramVectorHasKey(styleParams, kAll))
        paragraph.cssStyles["text-align"] = cssAlignment;
    return paragraph;
}

void escalateSharedBlockElement(cFragment &paragraph, FragmentVector &fragments)
{
    static const std::vector<std::string> kBlockElements = {"h1", "h2",  "h3",  "h4",       "h5",         "h6",
                                                            "p",  "pre", "div", "noscript", "blockquote", "address"};
    if (fragments.empty() || paragraph.tags.empty() || paragraph.tags.front() != "p")
        return;
    for (const std::string &tag : fragments.front().tags)
    {
        if (!contains(kBlockElements, tag) || !sharedByAll(fragments, tag, &cFragment::tags))
            continue;
        const std::string block = tag;   // tag lives in a list about to change
        paragraph.tags.front() = block;
        for (cFragment &fragment : fragments)
            removeAll(fragment.tags, block);
        return;
    }
}

void escalateSharedCssClasses(cFragment &paragraph, FragmentVector &fragments, const cClassMap *classMap)
{
    if (fragments.empty())
        return;
    auto carried = [&](const std::string &cssClass) {
        if (!classMap)
            return true;
        const std::vector<std::string> properties = classProperties({cssClass}, *classMap);
        return std::all_of(properties.begin(), properties.end(),
                           [&](const std::string &property) { return paragraphCanCarry(property, fragments); });
    };
    std::vector<std::string> shared;
    for (const std::string &cssClass : fragments.front().cssClasses)
        if (!contains(shared, cssClass) && sharedByAll(fragments, cssClass, &cFragment::cssClasses) &&
            carried(cssClass))
            shared.push_back(cssClass);
    for (const std::string &cssClass : shared)
    {
        paragraph.cssClasses.push_back(cssClass);
        for (cFragment &fragment : fragments)
            removeAll(fragment.cssClasses, cssClass);
    }
}

void escalateSharedCssStyles(cFragment &paragraph, FragmentVector &fragments)
{
    if (fragments.empty())
        return;
    CssMap shared;
    for (const auto &style : fragments.front().cssStyles)
    {
        const bool everywhere = std::all_of(fragments.begin() + 1, fragments.end(), [&](const cFragment &fragment) {
            auto found = fragment.cssStyles.find(style.first);
            return found != fragment.cssStyles.end() && found->second == style.second;
        });
        if (everywhere && paragraphCanCarry(style.first, fragments))
            shared.emplace(style.first, style.second);
    }
    // A decoration's line and its style only work together: they move only when every fragment has the same ones.
    auto decorations = [](const CssMap &styles) {
        CssMap group;
        for (const auto &style : styles)
            if (style.first.find("text-decoration") != std::string::npos)
                group.insert(style);
        return group;
    };
    const CssMap firstDecorations = decorations(fragments.front().cssStyles);
    if (!std::all_of(fragments.begin() + 1, fragments.end(),
                     [&](const cFragment &fragment) { return decorations(fragment.cssStyles) == firstDecorations; }))
        for (const auto &style : firstDecorations)
            shared.erase(style.first);
    for (const auto &[property, value] : shared)
    {
        paragraph.cssStyles[property] = value;
        for (cFragment &fragment : fragments)
            fragment.cssStyles.erase(property);
    }
}
} // namespace vtl::html
