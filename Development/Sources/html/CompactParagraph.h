#ifndef VANTREL_HTML_COMPACTPARAGRAPH_H
#define VANTREL_HTML_COMPACTPARAGRAPH_H

#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "html/CssFormattings.h"
#include "html/Fragment.h"

namespace vtl::html
{
class cHtmlSink;

// The appearances (elements, classes, inline style) of one conversion, each kept once and known by its number, so
// that a run of characters holds a number instead of a copy. Each is kept as one compact key only, all keys in
// one buffer: a text whose every character looks different costs a few dozen bytes a character, not a record of
// strings and maps each.
class cAppearances
{
public:
    cAppearances();
    cAppearances(const cAppearances &) = delete;
    cAppearances &operator=(const cAppearances &) = delete;

    // The number of an appearance equal to this one (same elements, classes and style), added if new.
    std::uint32_t intern(const cFragment &appearance);
    // The elements, classes and style of appearance `number`, made anew from its key.
    cFragment operator[](std::uint32_t number) const;
    std::uint32_t size() const { return static_cast<std::uint32_t>(ends_.size()); }

private:
    static constexpr std::uint32_t kProbe = std::numeric_limits<std::uint32_t>::max();
    std::string_view keyOf_(std::uint32_t number) const;

    struct cHash
    {
        const cAppearances *owner;
        std::size_t operator()(std::uint32_t number) const;
    };
    struct cEqual
    {
        const cAppearances *owner;
        bool operator()(std::uint32_t a, std::uint32_t b) const { return owner->keyOf_(a) == owner->keyOf_(b); }
    };

    std::string keys_;               // every appearance's key, back to back
    std::vector<std::size_t> ends_;  // where each key ends in keys_
    std::string probe_;              // the key being looked up, number kProbe
    std::unordered_set<std::uint32_t, cHash, cEqual> numbers_;
};

// A paragraph as runs of a text's units, each with the number of its appearance: memory in proportion to the
// number of runs, whatever the styles. Neighbouring runs of one appearance are one run, as merged fragments are.
class cCompactParagraph
{
public:
    cCompactParagraph(const std::uint16_t *units, const cAppearances &appearances)
        : units_(units), appearances_(appearances)
    {
    }

    // Units [begin, end) of the text, which follow the ones added so far.
    void add(std::uint32_t begin, std::uint32_t end, std::uint32_t appearance);
    bool empty() const { return runs_.empty(); }
    // The line break at `position`, just after the last run, joins that run.
    void appendBreak(std::uint32_t position);
    // Writes the paragraph inside its wrapper (see openParagraph) and empties it.
    void write(cFragment wrapper, const cClassMap &classMap, cHtmlSink &output);

private:
    struct cRun
    {
        std::uint32_t begin;
        std::uint32_t end;
        std::uint32_t appearance;
    };

    const std::uint16_t *units_;
    const cAppearances &appearances_;
    std::deque<cRun> runs_;
    // Per appearance number: the paragraph that last used it and its place among that paragraph's appearances.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> used_;
    std::uint64_t paragraphs_ = 0;
};
} // namespace vtl::html

#endif
