#include "fmhost/ScriptReader.h"

#include <sstream>

namespace fmhost
{
namespace
{
std::size_t firstNonBlank(const std::string &line) { return line.find_first_not_of(" \t"); }

bool startsAt(const std::string &line, std::size_t at, const char *prefix)
{
    return line.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

// "// =>" or "// \\=>" (spaces between the slashes and the arrow allowed): the expected text, else false.
bool expectationText(const std::string &line, std::size_t first, std::string &expected, bool &escaped)
{
    if (!startsAt(line, first, "//"))
        return false;
    std::size_t arrow = line.find_first_not_of(" \t", first + 2);
    if (arrow == std::string::npos)
        return false;
    escaped = startsAt(line, arrow, "\\=>");
    if (escaped)
        ++arrow;
    else if (!startsAt(line, arrow, "=>"))
        return false;
    expected = line.substr(arrow + 2);
    if (!expected.empty() && expected[0] == ' ')
        expected.erase(0, 1);
    return true;
}

// Markdown: the number of backticks of a fence line ("```" or more, indented or not), else 0.
std::size_t fenceTicks(const std::string &line)
{
    std::size_t first = firstNonBlank(line);
    if (first == std::string::npos || !startsAt(line, first, "```"))
        return 0;
    return line.find_first_not_of('`', first) == std::string::npos ? line.size() - first
                                                                     : line.find_first_not_of('`', first) - first;
}

// The first word of an opening fence's info string ("fmcalc" in "```fmcalc").
std::string fenceLanguage(const std::string &line)
{
    std::size_t start = line.find_first_not_of("` \t", firstNonBlank(line));
    if (start == std::string::npos)
        return std::string();
    std::size_t end = line.find_first_of(" \t\r{", start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<ScriptItem> readLines(const std::string &text, bool markdown)
{
    std::istringstream in(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    std::vector<ScriptItem> items;
    cLineJoiner joiner(true);
    std::string line;
    std::size_t openFence = 0; // backticks of the open block's fence, 0 outside blocks
    bool readBlock = false;
    for (int number = 1; std::getline(in, line); ++number)
    {
        if (markdown)
        {
            // Lines outside fmcalc blocks, and the fences themselves, read as blank lines: the Markdown file's line
            // numbers stay right, and a calculation ends with its block.
            std::size_t ticks = fenceTicks(line);
            if (openFence == 0 && ticks > 0)
            {
                openFence = ticks;
                readBlock = fenceLanguage(line) == "fmcalc";
                line.clear();
            }
            else if (openFence > 0 && ticks >= openFence &&
                     line.find_first_not_of("` \t\r") == std::string::npos)
            {
                openFence = 0;
                line.clear();
            }
            else if (openFence == 0 || !readBlock)
                line.clear();
        }
        joiner.add(line, number, items);
    }
    joiner.finish(items);
    return items;
}
} // namespace

namespace
{
// Walks a calculation as the lexer would. Answers whether it is still open; when `joined` is not null, fills it with
// the calculation on one line: line breaks outside texts and comments become one space, indentation dropped.
bool scanCalculation(const std::string &calculation, std::string *joined)
{
    enum class State { Code, Text, LineComment, BlockComment } state = State::Code;
    int depth = 0;
    for (std::size_t i = 0; i < calculation.size(); ++i)
    {
        char c = calculation[i];
        char next = i + 1 < calculation.size() ? calculation[i + 1] : '\0';
        if (joined && c == '\n' && state == State::Code)
        {
            *joined += ' ';
            while (i + 1 < calculation.size() && (calculation[i + 1] == ' ' || calculation[i + 1] == '\t'))
                ++i;
            continue;
        }
        if (joined)
            *joined += c;
        switch (state)
        {
        case State::Text:
            if (c == '\\' && next != '\0')
            {
                ++i;
                if (joined)
                    *joined += next;
            }
            else if (c == '"')
                state = State::Code;
            break;
        case State::LineComment:
            if (c == '\n')
                state = State::Code;
            break;
        case State::BlockComment:
            if (c == '*' && next == '/')
            {
                ++i;
                if (joined)
                    *joined += next;
                state = State::Code;
            }
            break;
        case State::Code:
            if (c == '"')
                state = State::Text;
            else if (c == '(' || c == '[')
                ++depth;
            else if (c == ')' || c == ']')
                --depth;
            else if (c == '/' && (next == '/' || next == '*'))
            {
                ++i;
                if (joined)
                    *joined += next;
                state = next == '/' ? State::LineComment : State::BlockComment;
            }
            break;
        }
    }
    // More closing than opening parentheses cannot be mended by more lines: the calculation is evaluated and fails.
    return state == State::Text || state == State::BlockComment || depth > 0;
}
} // namespace

bool isCalculationOpen(const std::string &calculation) { return scanCalculation(calculation, nullptr); }

std::string calculationOnOneLine(const std::string &calculation)
{
    std::string joined;
    scanCalculation(calculation, &joined);
    return joined;
}

void cLineJoiner::add(std::string line, int lineNumber, std::vector<ScriptItem> &items)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::size_t first = firstNonBlank(line);
    std::string expected;
    std::string comment;
    lastComment_.swap(comment);
    if (first == std::string::npos)
    {
        if (pending_ && blankLineEnds_)
            complete(items);
        else if (pending_)
            calculation_.text += '\n';
        return;
    }
    bool escaped = false;
    if (expectationText(line, first, expected, escaped))
    {
        // An expectation always ends the calculation before it, open or not.
        complete(items);
        items.push_back({ScriptItem::Kind::Expectation, expected, lineNumber, escaped});
        return;
    }
    if (!pending_)
    {
        std::size_t last = line.find_last_not_of(" \t");
        auto commentText = [&](const char *marker) {
            std::size_t text = line.find_first_not_of(marker, first);
            return text == std::string::npos ? std::string() : line.substr(text, last + 1 - text);
        };
        if (startsAt(line, first, "//"))
        {
            lastComment_ = commentText(" \t/");
            return;
        }
        if (line[first] == ':')
        {
            items.push_back({ScriptItem::Kind::Command, line.substr(first, last + 1 - first), lineNumber});
            return;
        }
        if (line[first] == '#')
        {
            lastComment_ = commentText(" \t#");
            items.push_back({ScriptItem::Kind::Comment, lastComment_, lineNumber});
            return;
        }
        calculation_ = {ScriptItem::Kind::Calculation, std::string(), lineNumber};
        calculation_.comment = std::move(comment);
        line.erase(0, first);
    }
    else
        calculation_.text += '\n';
    bool backslash = line.back() == '\\';
    if (backslash)
        line.pop_back();
    calculation_.text += line;
    pending_ = true;
    if (!backslash && !isCalculationOpen(calculation_.text))
        complete(items);
}

void cLineJoiner::finish(std::vector<ScriptItem> &items) { complete(items); }

void cLineJoiner::abandon()
{
    pending_ = false;
    calculation_ = ScriptItem();
}

void cLineJoiner::complete(std::vector<ScriptItem> &items)
{
    if (!pending_)
        return;
    items.push_back(std::move(calculation_));
    abandon();
}

std::vector<ScriptItem> readScript(const std::string &script) { return readLines(script, false); }

std::vector<ScriptItem> readMarkdown(const std::string &markdown) { return readLines(markdown, true); }
} // namespace fmhost
