#ifndef VANTREL_HTML_VARIABLEMODE_H
#define VANTREL_HTML_VARIABLEMODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"

namespace vtl::html
{
// Evaluates prefix + text + suffix in the host. The host's error code is not looked at: a failed evaluation reads
// as whatever it left.
fmx::DataUniquePtr evaluateInHost(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                                  const fmx::ExprEnv &env);
// The same for a short answer, as UTF-8.
std::string evaluateOnFM(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                         const fmx::ExprEnv &env);
// One entry per line of a content (its UTF-16 units): 13, 0x2028, or 0 for a last line without either.
std::vector<std::uint16_t> lineEndingsOf(const std::vector<std::uint16_t> &units);
// One entry per value the host counts in the variable: "left", "center", "right" or "full".
std::vector<std::string> getLineAligns(const fmx::Text &source, const std::vector<std::uint16_t> &content,
                                       const fmx::ExprEnv &env);
// A line of a content: positions [begin, end) and the unit that ends it (13, 0x2028, or 0 for none).
struct cLine
{
    std::size_t begin;
    std::size_t end;
    std::uint16_t ending;
};
std::vector<cLine> linesOf(const std::vector<std::uint16_t> &units);
// The alignment of each paragraph of a CSS export, whose paragraphs are separated by breaks ("<br>" in any case,
// with or without "/") and read by parseAlignmentFromGetAsCSS.
std::vector<std::string> exportAlignments(const fmx::Text &css);
std::string parseAlignmentFromGetAsCSS(const std::string &css);
std::vector<bool> determineParagraphEnds(const std::vector<std::uint16_t> &lineEndings,
                                         const std::vector<std::string> &lineAligns);
// True when the source names a variable ($name or $$name) and nothing else; only then is it put into a
// calculation, so a text that merely starts with "$" can never run calculation code of its own.
bool isVariableName(const fmx::Text &source);
} // namespace vtl::html

#endif
