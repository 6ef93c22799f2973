#ifndef VANTREL_HTML_HTMLSINK_H
#define VANTREL_HTML_HTMLSINK_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "host/ResultLimits.h"

namespace fmx
{
class Text;
}

namespace vtl::html
{
constexpr std::uint64_t kLongestHtml = fmlib::kLongestResultText;

// The HTML of a conversion as it is written, in blocks of UTF-16 units: growing it never copies what it holds,
// and it holds nothing but the units. Writing beyond `longest` units throws std::length_error.
class cHtmlSink
{
public:
    explicit cHtmlSink(std::uint64_t longest = kLongestHtml) : longest_(longest) {}

    std::uint64_t size() const { return size_; }
    void append(const std::uint16_t *units, std::size_t count);
    void append(const std::vector<std::uint16_t> &units) { append(units.data(), units.size()); }
    // Markup (tags, class names, CSS) given as UTF-8.
    void appendNarrow(const std::string &narrow);
    // Text with "&", "<", ">", the double quote, no-break spaces and line breaks made safe for HTML.
    void appendEscaped(const std::uint16_t *units, std::size_t count);
    // Puts everything `front` holds before what this sink holds; leaves `front` empty.
    void prepend(cHtmlSink &front);
    // Appends everything to the host text and leaves the sink empty. An empty host text is filled in one piece.
    void moveInto(fmx::Text &output);

private:
    static constexpr std::size_t kBlock = 1u << 15;
    void reserve_(std::size_t count);
    void grew_(std::size_t count);

    std::uint64_t longest_;
    std::uint64_t size_ = 0;
    std::deque<std::vector<std::uint16_t>> blocks_;
};

// The UTF-16 units of markup given as UTF-8.
std::vector<std::uint16_t> unitsOfNarrow(const std::string &narrow);
} // namespace vtl::html

#endif
