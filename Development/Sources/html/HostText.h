#ifndef VANTREL_HTML_HOSTTEXT_H
#define VANTREL_HTML_HOSTTEXT_H

#include <cstdint>
#include <string>
#include <vector>

namespace fmx
{
class Text;
}

namespace vtl::html
{
// Appends a narrow text (tag, class name, CSS) to a host text through the host's native encoding.
void appendNarrow(fmx::Text &output, const std::string &narrow);
// The UTF-16 code units of positions [position, position + size) of a host text.
std::vector<std::uint16_t> unitsOf(const fmx::Text &text, std::uint32_t position, std::uint32_t size);
// The UTF-8 form of a run of code units.
std::string narrowOf(const std::vector<std::uint16_t> &units);
} // namespace vtl::html

#endif
