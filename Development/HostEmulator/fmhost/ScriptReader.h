// Splits scripts and test files into calculations, command lines and expected results.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace fmhost
{
struct ScriptItem
{
    enum class Kind
    {
        Calculation, // its lines joined with line feeds
        Command,     // a line starting with ":", trimmed
        Expectation, // the text after "// =>" or "// \=>" (one space after the arrow dropped)
        Comment      // a line starting with "#", without the "#" and the blanks around the rest
    };
    ScriptItem() = default;
    ScriptItem(Kind kind_, std::string text_, int line_, bool escaped_ = false)
        : kind(kind_), text(std::move(text_)), line(line_), escaped(escaped_)
    {
    }

    Kind kind = Kind::Calculation;
    std::string text;
    int line = 0; // where the item starts, from 1
    // An expectation written "// \=>": its text holds backslash escapes, which the test runner reads.
    bool escaped = false;
    // A calculation's: the "#" or "//" comment on the line right before it, without its marker and the blanks
    // around the rest; empty when there is none.
    std::string comment;
};

// True while a calculation cannot be complete: a parenthesis or bracket is still open, or a text in quotes or a
// /* comment is not closed yet.
bool isCalculationOpen(const std::string &calculation);

// The calculation on one line, meaning the same: its line breaks outside texts and comments become single spaces
// (indentation dropped). The prompt keeps calculations so in its history.
std::string calculationOnOneLine(const std::string &calculation);

// Gathers lines into items. A calculation goes on over the following lines while it is open or while its line ends
// in a backslash (the backslash is dropped; lines are joined with a line feed). Outside a calculation, blank lines
// and lines starting with "//" are skipped, except "// =>" and "// \=>" lines, which are expectations; a line
// starting with ":" is a command, one starting with "#" a comment.
class cLineJoiner
{
public:
    // At the prompt a blank line does not end an open calculation (Ctrl-C abandons it); in a script it does, so
    // that one open parenthesis cannot swallow the rest of the file.
    explicit cLineJoiner(bool blankLineEndsCalculation) : blankLineEnds_(blankLineEndsCalculation) {}

    // Takes one line (a trailing CR is dropped) and appends the items it completes to `items`.
    void add(std::string line, int lineNumber, std::vector<ScriptItem> &items);
    // Ends the input: a calculation still pending is appended as it stands.
    void finish(std::vector<ScriptItem> &items);
    bool pending() const { return pending_; }
    void abandon();

private:
    void complete(std::vector<ScriptItem> &items);

    bool blankLineEnds_;
    bool pending_ = false;
    ScriptItem calculation_;
    std::string lastComment_; // the comment of the line just before, for the calculation that may follow it
};

// Every item of a script text. A UTF-8 byte-order mark at the start is ignored.
std::vector<ScriptItem> readScript(const std::string &script);

// Every item of the ```fmcalc blocks of a Markdown text, with the Markdown file's line numbers.
std::vector<ScriptItem> readMarkdown(const std::string &markdown);
} // namespace fmhost
