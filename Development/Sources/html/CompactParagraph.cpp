#include "html/CompactParagraph.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "html/HtmlProduction.h"
#include "html/HtmlSink.h"

namespace vtl::html
{
namespace
{
// A count or a length: seven bits a byte, the high bit set on every byte but the last.
void addNumber(std::string &key, std::size_t number)
{
    for (; number >= 0x80; number >>= 7)
        key += static_cast<char>(0x80 | (number & 0x7f));
    key += static_cast<char>(number);
}

void addPiece(std::string &key, const std::string &piece)
{
    addNumber(key, piece.size());
    key += piece;
}

// The counts in front make the key readable back and keep two different appearances from sharing one.
void makeKey(const cFragment &appearance, std::string &key)
{
    key.clear();
    addNumber(key, appearance.tags.size());
    for (const std::string &tag : appearance.tags)
        addPiece(key, tag);
    addNumber(key, appearance.cssClasses.size());
    for (const std::string &cssClass : appearance.cssClasses)
        addPiece(key, cssClass);
    addNumber(key, appearance.cssStyles.size());
    for (const auto &[property, value] : appearance.cssStyles)
    {
        addPiece(key, property);
        addPiece(key, value);
    }
}

class cKeyReader
{
public:
    explicit cKeyReader(std::string_view key) : key_(key) {}

    std::size_t number()
    {
        std::size_t value = 0;
        for (unsigned shift = 0;; shift += 7)
        {
            const auto byte = static_cast<unsigned char>(key_.at(at_++));
            value |= static_cast<std::size_t>(byte & 0x7f) << shift;
            if (byte < 0x80)
                return value;
        }
    }

    std::string piece()
    {
        const std::size_t size = number();
        std::string text(key_.substr(at_, size));
        at_ += size;
        return text;
    }

private:
    std::string_view key_;
    std::size_t at_ = 0;
};
} // namespace

cAppearances::cAppearances() : numbers_(16, cHash{this}, cEqual{this}) {}

std::string_view cAppearances::keyOf_(std::uint32_t number) const
{
    if (number == kProbe)
        return probe_;
    const std::size_t begin = number == 0 ? 0 : ends_[number - 1];
    return std::string_view(keys_).substr(begin, ends_[number] - begin);
}

std::size_t cAppearances::cHash::operator()(std::uint32_t number) const
{
    return std::hash<std::string_view>()(owner->keyOf_(number));
}

std::uint32_t cAppearances::intern(const cFragment &appearance)
{
    makeKey(appearance, probe_);
    const auto found = numbers_.find(kProbe);
    if (found != numbers_.end())
        return *found;
    const std::uint32_t number = size();
    keys_ += probe_;
    ends_.push_back(keys_.size());
    numbers_.insert(number);
    return number;
}

cFragment cAppearances::operator[](std::uint32_t number) const
{
    cKeyReader key(keyOf_(number));
    cFragment appearance;
    for (std::size_t n = key.number(); n > 0; --n)
        appearance.tags.push_back(key.piece());
    for (std::size_t n = key.number(); n > 0; --n)
        appearance.cssClasses.push_back(key.piece());
    for (std::size_t n = key.number(); n > 0; --n)
    {
        std::string property = key.piece();
        appearance.cssStyles.emplace_hint(appearance.cssStyles.end(), std::move(property), key.piece());
    }
    return appearance;
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
constexpr std::size_t kNotMade = std::numeric_limits<std::size_t>::max();

// True when every appearance shares something of the first one's; only then can an escalation move anything.
// One appearance is made at a time: a paragraph may use as many as it has characters.
bool anythingShared(const cAppearances &appearances, const std::vector<std::uint32_t> &used)
{
    cFragment shared = appearances[used.front()];
    auto keepHeld = [](std::vector<std::string> &items, const std::vector<std::string> &in) {
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [&](const std::string &item) {
                                       return std::find(in.begin(), in.end(), item) == in.end();
                                   }),
                    items.end());
    };
    for (std::size_t i = 1; i < used.size(); ++i)
    {
        const cFragment other = appearances[used[i]];
        keepHeld(shared.tags, other.tags);
        keepHeld(shared.cssClasses, other.cssClasses);
        for (auto style = shared.cssStyles.begin(); style != shared.cssStyles.end();)
        {
            const auto found = other.cssStyles.find(style->first);
            style = found != other.cssStyles.end() && found->second == style->second ? std::next(style)
                                                                                       : shared.cssStyles.erase(style);
        }
        if (shared.tags.empty() && shared.cssClasses.empty() && shared.cssStyles.empty())
            return false;
    }
    return !shared.tags.empty() || !shared.cssClasses.empty() || !shared.cssStyles.empty();
}
} // namespace

void cCompactParagraph::write(cFragment wrapper, const cClassMap &classMap, cHtmlSink &output)
{
    // The escalations look at each appearance the paragraph uses, once, in the order of first use: what all its
    // fragments share is what all these share, and the first fragment's is the first of these.
    ++paragraphs_;
    if (used_.size() < appearances_.size())
        used_.resize(appearances_.size(), {0, 0});
    std::vector<std::uint32_t> used;
    std::vector<std::uint32_t> uses;   // the number of runs of each
    for (const cRun &run : runs_)
    {
        auto &[paragraph, place] = used_[run.appearance];
        if (paragraph == paragraphs_)
        {
            ++uses[place];
            continue;
        }
        paragraph = paragraphs_;
        place = static_cast<std::uint32_t>(used.size());
        used.push_back(run.appearance);
        uses.push_back(1);
    }
    // Only a paragraph whose fragments share something needs copies of its appearances that escalation can change.
    FragmentVector escalated;
    if (!wrapper.tags.empty() && !used.empty() && anythingShared(appearances_, used))
        for (std::uint32_t appearance : used)
            escalated.push_back(appearances_[appearance]);
    openParagraph(wrapper, escalated, &classMap, output);

    // The markup of an appearance used more than once is made once, on first use, and kept in one buffer:
    // [open, close) its opening tags, [close, end) its closing ones. One used once is written straight away, so a
    // paragraph of a new look at every character keeps no copy of its markup.
    struct cPlace
    {
        std::size_t open = kNotMade, close = 0, end = 0;
    };
    std::vector<std::uint16_t> markup;
    std::vector<cPlace> places(used.size());
    for (const cRun &run : runs_)
    {
        const std::uint32_t i = used_[run.appearance].second;
        cPlace &place = places[i];
        if (place.open == kNotMade)
        {
            const cMarkup tags = markupOf(escalated.empty() ? appearances_[used[i]] : escalated[i], &classMap);
            if (uses[i] == 1)
            {
                output.append(tags.open);
                output.appendEscaped(units_ + run.begin, run.end - run.begin);
                output.append(tags.close);
                continue;
            }
            place.open = markup.size();
            markup.insert(markup.end(), tags.open.begin(), tags.open.end());
            place.close = markup.size();
            markup.insert(markup.end(), tags.close.begin(), tags.close.end());
            place.end = markup.size();
        }
        output.append(markup.data() + place.open, place.close - place.open);
        output.appendEscaped(units_ + run.begin, run.end - run.begin);
        output.append(markup.data() + place.close, place.end - place.close);
    }
    closeParagraph(wrapper, output);
    runs_.clear();
}
} // namespace vtl::html
