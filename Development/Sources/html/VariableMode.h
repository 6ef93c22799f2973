#ifndef VANTREL_HTML_VARIABLEMODE_H
#define VANTREL_HTML_VARIABLEMODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fmx
{
class Text;
class ExprEnv;
}

namespace vtl::html
{
// Evaluates prefix + text + suffix in the host; the answer goes with its styles into resultText and comes
// back as UTF-8. The host's error code is not looked at: a failed evaluation reads as whatever it left.
std::string evaluateOnFM(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                         const fmx::ExprEnv &env, fmx::Text &resultText);
// One entry per line of the variable's content: 13, 0x2028, or 0 for a last line without either.
std::vector<std::uint16_t> getLineEndings(const fmx::Text &source, const fmx::ExprEnv &env);
// The same for a content already in hand, as its UTF-16 units.
std::vector<std::uint16_t> lineEndingsOf(const std::vector<std::uint16_t> &units);
// One entry per value the host counts: "left", "center", "right" or "full".
std::vector<std::string> getLineAligns(const fmx::Text &source, const fmx::ExprEnv &env);
// The same when the variable's content is in hand (its UTF-16 units).
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
// A CSS export cut at its breaks ("<br>" in any case, with or without "/"): one part per paragraph.
std::vector<std::string> exportParagraphs(const std::string &css);
std::string parseAlignmentFromGetAsCSS(const std::string &css);
std::vector<bool> determineParagraphEnds(const std::vector<std::uint16_t> &lineEndings,
                                         const std::vector<std::string> &lineAligns);
// True when the source names a variable ($name or $$name) and nothing else; only then is it put into a
// calculation, so a text that merely starts with "$" can never run calculation code of its own.
bool isVariableName(const fmx::Text &source);
} // namespace vtl::html

#endif
