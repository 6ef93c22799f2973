#ifndef VANTREL_ERRORS_ALLOWLISTLINES_H
#define VANTREL_ERRORS_ALLOWLISTLINES_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "errors/AllowListOptions.h"

// Reading an allow-list's lines: the options lines at the top, then a file name and its functions per line. What
// the plug-in checks a call with and what the administrator's checker reports both come from here.
namespace vtl::allowlist
{
// Longest line read, without its line feed. A longer line is malformed: no call holds more than this of the file.
constexpr std::size_t kLongestLine = 64 * 1024;
constexpr std::size_t kSmallestBuffer = 256;

// The leading lines "/options<TAB>option|option": a file name never contains "/", so older versions of the
// plug-in take such a line for a well-formed line of a file that never calls.
constexpr std::string_view kOptionsLine = "/options";

constexpr std::string_view kExtension = ".fmp12";

// text compared with head followed by tail, in the order of std::string_view's comparison.
int CompareJoined(std::string_view text, std::string_view head, std::string_view tail);

// The splitting rule, without copying: calls take(item) for each item in order until it returns false.
// An empty text has no item; empty pieces between, before and after separators are items.
template <class Take>
void ForEachItem(std::string_view text, std::string_view separator, Take take)
{
    if (text.empty())
        return;
    if (separator.empty())
    {
        take(text);
        return;
    }
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos)
        {
            take(text.substr(start));
            return;
        }
        if (!take(text.substr(start, found - start)))
            return;
        start = found + separator.size();
    }
}

// Hands out the file's lines (without their line feeds) from one buffer of at most kLongestLine + 1 bytes.
class cLineReader
{
public:
    enum eRead
    {
        kLine,
        kTooLong,
        kEnd // end of the file, or a read error
    };

    cLineReader(int fd, long long expectedSize);
    eRead next(std::string_view &line);

private:
    void fill();

    int fd_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t start_ = 0; // first byte of the next line
    std::size_t scan_ = 0;  // where to look on for its line feed
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

// Why reading the lines of files stopped.
enum class eEnd
{
    kEndOfFile,
    kParseError,
    kLineTooLong,
    kUnknownOption,
    kStopped // take() asked to stop
};

// The options of a file, and where and why its reading stopped at a malformed line.
struct cParse
{
    cAllowListOptions options;
    std::size_t faultLine = 0; // counted from 1
    std::string faultDetail;
};

// Records the first malformed line of a reading, and gives back what is wrong with it.
std::string Fault(cParse &parse, std::size_t index, std::string detail);

// Longest part of an unknown option quoted back to the administrator.
constexpr std::size_t kLongestQuotedOption = 100;

// Reads the options lines at the top, then hands each file's line to take(index, name, list) until it returns
// false. A malformed line ends the reading (nothing after it counts) unless malformed(index, why, detail) returns
// true; detail says what is wrong with the line. A line too long always ends it. The first malformed line is
// recorded in parse.
template <class Take, class Malformed>
eEnd ReadLines(cLineReader &reader, cParse &parse, Take take, Malformed malformed)
{
    bool leading = true;
    for (std::size_t index = 0;; ++index)
    {
        std::string_view line;
        switch (reader.next(line))
        {
        case cLineReader::kEnd:
            return eEnd::kEndOfFile;
        case cLineReader::kTooLong:
            malformed(index, eEnd::kLineTooLong, Fault(parse, index, "the line is longer than 65536 bytes"));
            return eEnd::kLineTooLong;
        default:
            break;
        }
        std::string_view fields[2];
        int count = 0;
        ForEachItem(line, "\t", [&](std::string_view item) {
            if (count < 2)
                fields[count] = item;
            return ++count <= 2;
        });
        if (count != 2)
        {
            const std::string &detail = Fault(parse, index,
                                              count == 0   ? "the line is empty"
                                              : count == 1 ? "no TAB between the file name and its functions"
                                                           : "more than one TAB");
            if (!malformed(index, eEnd::kParseError, detail))
                return eEnd::kParseError;
            continue;
        }
        if (leading && fields[0] == kOptionsLine)
        {
            bool known = true;
            std::string_view unknown;
            ForEachItem(fields[1], "|", [&](std::string_view option) {
                known = ApplyAllowListOption(option, parse.options);
                unknown = option;
                return known;
            });
            if (!known &&
                !malformed(index, eEnd::kUnknownOption,
                           Fault(parse, index,
                                 "unknown option \"" + std::string(unknown.substr(0, kLongestQuotedOption)) + "\"")))
                return eEnd::kUnknownOption;
            continue;
        }
        leading = false;
        if (!take(index, fields[0], fields[1]))
            return eEnd::kStopped;
    }
}

// The same, stopping at the first malformed line, as every call does.
template <class Take>
eEnd ReadLines(cLineReader &reader, cParse &parse, Take take)
{
    return ReadLines(reader, parse, take, [](std::size_t, eEnd, const std::string &) { return false; });
}
} // namespace vtl::allowlist

#endif
