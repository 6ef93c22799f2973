#ifndef VANTREL_REGEX_CREGEXP_H
#define VANTREL_REGEX_CREGEXP_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vtl {

// One ECMAScript pattern compiled for PCRE2 (16-bit code units without UTF
// mode, JIT when the library offers it). Subjects are the host's UTF-16 units,
// read in place: every unit is one character, as in ECMAScript, and every
// position is a UTF-16 position. Compile once per call, then search as often
// as needed: searching allocates nothing.
class cRegExp {
public:
    // CPU time of the calling thread one compiled pattern may spend matching, all searches together and checked
    // inside each match too: a quadratic pattern over a long text then ends in an error, not in a server thread
    // busy for hours. A wall-clock ceiling of cMatchBudget::kWallCeilingFactor times as long ends it as well.
    static constexpr std::chrono::milliseconds kDefaultTimeBudget{2000};

    // Throws cRegExpError for a pattern ECMAScript rejects or PCRE2 cannot
    // express. The time budget starts now.
    explicit cRegExp(std::u16string_view pattern, std::chrono::milliseconds timeBudget = kDefaultTimeBudget);
    ~cRegExp();
    cRegExp(const cRegExp&) = delete;
    cRegExp& operator=(const cRegExp&) = delete;

    uint32_t groupCount() const { return groupCount_; }

    // The leftmost match that starts at or after `start`; the text before
    // `start` is still seen by look-behinds and \b, and ^ matches only at 0.
    // Throws cRegExpError when a match, memory or time limit is reached.
    bool search(std::u16string_view subject, size_t start);

    // ECMAScript's global matching: searches from `position` and, on a
    // match, moves `position` past it (one unit further after an empty match).
    bool searchNext(std::u16string_view subject, size_t& position);

    // Of the last successful search; group 0 is the whole match.
    bool groupMatched(uint32_t group) const;
    size_t groupStart(uint32_t group) const;
    size_t groupEnd(uint32_t group) const;

    // Matches found by global matching over the whole subject.
    int64_t countMatches(std::u16string_view subject);

private:
    [[noreturn]] void fail_(const std::string& reason) const;
    uint32_t number_(uint32_t group) const;  // PCRE2's number of a group

    struct sEngine;
    std::unique_ptr<sEngine> engine_;
    uint32_t groupCount_ = 0;
    const size_t* ovector_ = nullptr;
};

}  // namespace vtl

#endif
