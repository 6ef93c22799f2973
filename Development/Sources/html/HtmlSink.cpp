#include "html/HtmlSink.h"

#include <algorithm>
#include <stdexcept>

#include "FMWrapper/FMXText.h"
#include "html/HostText.h"

namespace vtl::html
{
namespace
{
// The replacement of a unit that HTML text may not hold as it is; nullptr for the others.
const char *entityOf(std::uint16_t unit)
{
    switch (unit)
    {
    case u'\n':
    case 0x2028:   // line separator
        return "<br/>\r";
    case u'&': return "&amp;";
    case u'<': return "&lt;";
    case u'>': return "&gt;";
    case u'"': return "&quot;";
    case 0x00A0: return "&nbsp;";   // no-break space
    default: return nullptr;
    }
}
} // namespace

void cHtmlSink::grew_(std::size_t count)
{
    if (size_ + count > longest_)
        throw std::length_error("Vantrel_GetAsHTML gave up: the HTML would be longer than " +
                                std::to_string(longest_) + " characters");
    size_ += count;
}

void cHtmlSink::reserve_(std::size_t count)
{
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < count)
    {
        blocks_.emplace_back();
        blocks_.back().reserve(std::max(kBlock, count));
    }
}

void cHtmlSink::append(const std::uint16_t *units, std::size_t count)
{
    if (count == 0)
        return;
    grew_(count);
    reserve_(count);
    blocks_.back().insert(blocks_.back().end(), units, units + count);
}

void cHtmlSink::appendNarrow(const std::string &narrow)
{
    append(unitsOfNarrow(narrow));
}

void cHtmlSink::appendEscaped(const std::uint16_t *units, std::size_t count)
{
    std::size_t plain = 0;   // units[plain, i) need no entity
    for (std::size_t i = 0; i < count; ++i)
    {
        const char *entity = entityOf(units[i]);
        if (!entity)
            continue;
        append(units + plain, i - plain);
        for (; *entity; ++entity)
        {
            const std::uint16_t unit = static_cast<unsigned char>(*entity);
            append(&unit, 1);
        }
        plain = i + 1;
    }
    append(units + plain, count - plain);
}

void cHtmlSink::prepend(cHtmlSink &front)
{
    grew_(front.size_);
    blocks_.insert(blocks_.begin(), std::make_move_iterator(front.blocks_.begin()),
                   std::make_move_iterator(front.blocks_.end()));
    front.blocks_.clear();
    front.size_ = 0;
}

void cHtmlSink::moveInto(fmx::Text &output)
{
    if (size_ == 0)
        return;
    if (output.GetSize() == 0)
    {
        // One piece of the exact size, each block let go once copied: the units are held at most twice.
        std::vector<std::uint16_t> whole;
        whole.reserve(static_cast<std::size_t>(size_));
        for (; !blocks_.empty(); blocks_.pop_front())
            whole.insert(whole.end(), blocks_.front().begin(), blocks_.front().end());
        output.AssignUnicodeWithLength(whole.data(), static_cast<fmx::uint32>(whole.size()));
    }
    else
    {
        fmx::TextUniquePtr piece;
        for (; !blocks_.empty(); blocks_.pop_front())
        {
            piece->AssignUnicodeWithLength(blocks_.front().data(), static_cast<fmx::uint32>(blocks_.front().size()));
            output.AppendText(*piece);
        }
    }
    size_ = 0;
}

std::vector<std::uint16_t> unitsOfNarrow(const std::string &narrow)
{
    // ASCII is its own UTF-16 form; only other text needs the host's conversion.
    if (std::all_of(narrow.begin(), narrow.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::vector<std::uint16_t>(narrow.begin(), narrow.end());
    fmx::TextUniquePtr text;
    text->AssignWithLength(narrow.data(), static_cast<fmx::uint32>(narrow.size()), fmx::Text::kEncoding_Native);
    return unitsOf(*text, 0, text->GetSize());
}
} // namespace vtl::html
