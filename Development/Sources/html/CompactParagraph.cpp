#include "html/CompactParagraph.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "html/HtmlProduction.h"
#include "html/HtmlSink.h"

namespace vtl::html
{
namespace
{
// Each piece with its length in front, so that no two different appearances give the same key.
void addPiece(std::string &key, const std::string &piece)
{
    const auto size = static_cast<std::uint32_t>(piece.size());
    key.append(reinterpret_cast<const char *>(&size), sizeof size);
    key += piece;
}

std::string keyOf(const cFragment &appearance)
{
    std::string key;
    for (const std::string &tag : appearance.tags)
        addPiece(key, tag);
    key += '\x01';
    for (const std::string &cssClass : appearance.cssClasses)
        addPiece(key, cssClass);
    key += '\x02';
    for (const auto &[property, value] : appearance.cssStyles)
    {
        addPiece(key, property);
        addPiece(key, value);
    }
    return key;
}
} // namespace

std::uint32_t cAppearances::intern(const cFragment &appearance)
{
    const auto [found, added] = numbers_.emplace(keyOf(appearance), size());
    if (added)
    {
        cFragment &record = records_.emplace_back();
        record.tags = appearance.tags;
        record.cssClasses = appearance.cssClasses;
        record.cssStyles = appearance.cssStyles;
    }
    return found->second;
}

void cCompactParagraph::add(std::uint32_t begin, std::uint32_t end, std::uint32_t appearance)
{
    if (!runs_.empty() && runs_.back().appearance == appearance && runs_.back().end == begin)
        runs_.back().end = end;
    else
        runs_.push_back({begin, end, appearance});
}

void cCompactParagraph::appendBreak(std::uint32_t position)
{
    // Lines follow one another without a gap: the break always lies just after what the paragraph holds.
    if (runs_.empty() || runs_.back().end != position)
        throw std::logic_error("GetAsHTML: a line break away from its line");
    ++runs_.back().end;
}

namespace
{
bool inAll(const std::vector<const cFragment *> &fragments, const std::function<bool(const cFragment &)> &has)
{
    return std::all_of(fragments.begin(), fragments.end(), [&](const cFragment *fragment) { return has(*fragment); });
}

// True when every fragment shares something of the first one's; only then can an escalation move anything.
bool anythingShared(const std::vector<const cFragment *> &fragments)
{
    const cFragment &first = *fragments.front();
    auto holds = [](const std::vector<std::string> &list, const std::string &item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    };
    for (const std::string &tag : first.tags)
        if (inAll(fragments, [&](const cFragment &f) { return holds(f.tags, tag); }))
            return true;
    for (const std::string &cssClass : first.cssClasses)
        if (inAll(fragments, [&](const cFragment &f) { return holds(f.cssClasses, cssClass); }))
            return true;
    for (const auto &style : first.cssStyles)
        if (inAll(fragments, [&](const cFragment &f) {
                const auto found = f.cssStyles.find(style.first);
                return found != f.cssStyles.end() && found->second == style.second;
            }))
            return true;
    return false;
}
} // namespace

void cCompactParagraph::write(cFragment wrapper, const cClassMap &classMap, cHtmlSink &output)
{
    // The escalations look at each appearance the paragraph uses, once, in the order of first use: what all its
    // fragments share is what all these share, and the first fragment's is the first of these.
    ++paragraphs_;
    if (used_.size() < appearances_.size())
        used_.resize(appearances_.size(), {0, 0});
    std::vector<const cFragment *> used;
    for (const cRun &run : runs_)
    {
        auto &[paragraph, place] = used_[run.appearance];
        if (paragraph == paragraphs_)
            continue;
        paragraph = paragraphs_;
        place = static_cast<std::uint32_t>(used.size());
        used.push_back(&appearances_[run.appearance]);
    }
    // Only a paragraph whose fragments share something needs copies of its appearances that escalation can change.
    FragmentVector escalated;
    if (!wrapper.tags.empty() && !used.empty() && anythingShared(used))
    {
        for (const cFragment *appearance : used)
            escalated.push_back(*appearance);
        for (std::size_t i = 0; i < used.size(); ++i)
            used[i] = &escalated[i];
    }
    openParagraph(wrapper, escalated, &classMap, output);

    // The markup of each appearance, made once, all in one buffer: [open, close) its opening tags, [close, end)
    // its closing ones.
    struct cPlace
    {
        std::size_t open, close, end;
    };
    std::vector<std::uint16_t> markup;
    std::vector<cPlace> places;
    places.reserve(used.size());
    for (const cFragment *appearance : used)
    {
        const cMarkup tags = markupOf(*appearance, &classMap);
        cPlace &place = places.emplace_back();
        place.open = markup.size();
        markup.insert(markup.end(), tags.open.begin(), tags.open.end());
        place.close = markup.size();
        markup.insert(markup.end(), tags.close.begin(), tags.close.end());
        place.end = markup.size();
    }
    for (const cRun &run : runs_)
    {
        const cPlace &place = places[used_[run.appearance].second];
        output.append(markup.data() + place.open, place.close - place.open);
        output.appendEscaped(units_ + run.begin, run.end - run.begin);
        output.append(markup.data() + place.close, place.end - place.close);
    }
    closeParagraph(wrapper, output);
    runs_.clear();
}
} // namespace vtl::html
