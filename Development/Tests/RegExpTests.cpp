// The regular-expression engine without the host: translation of ECMAScript patterns, global
// matching, limits, and the differential run against Node.js over the corpus in data/.

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "iOS_SupportFunctions/RegExpPatternCount.h"
#include "regex/ECMAScriptTranslator.h"
#include "regex/cMatchBudget.h"
#include "regex/cRegExp.h"
#include "regex/cRegExpError.h"
#include "support/NodeReference.h"

namespace {

std::u16string U(const char* ascii) { return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii)); }

int64_t Count(const char* text, const char* pattern) { return fmlib::RegExpPatternCount(U(text), U(pattern)); }

std::string ErrorOf(const std::u16string& text, const std::u16string& pattern)
{
    try {
        fmlib::RegExpPatternCount(text, pattern);
    } catch (const vtl::cRegExpError& e) {
        return e.what();
    }
    return "";
}

TEST(RegExpCount, FollowsEcmaScriptGlobalMatching)
{
    struct sExpectation {
        const char* text;
        const char* pattern;
        int64_t count;
    };
    const sExpectation expectations[] = {
        {"aaa", "a", 3},   {"aaa", "aa", 1},  // no overlap
        {"aaa", "^a", 1},                     // ^ only at the start of the text
        {"a", "A", 0},     {"", "a", 0},      {"12 345", "\\d+", 2},
        // an empty match counts once and the search moves on by one unit
        {"abc", "", 4},    {"", "", 1},       {"abc", "x*", 4},
        {"aab", "a*", 3},  {"aaa", "a*?", 4}, {"ab", "\\b", 2},
    };
    for (const auto& e : expectations) EXPECT_EQ(Count(e.text, e.pattern), e.count) << e.pattern << " on " << e.text;
}

TEST(RegExpCount, SearchStartSeesTheTextBeforeIt)
{
    // After the first match, \b and look-behind still see the previous character.
    EXPECT_EQ(Count("aa", "\\ba"), 1);
    EXPECT_EQ(Count("aaa", "(?<=a)a"), 2);
    EXPECT_EQ(Count("ab", "(?<!a)b"), 0);
}

TEST(RegExpCount, PositionsAreUtf16Units)
{
    const std::u16string smiley{char16_t(0xD83D), char16_t(0xDE00)};
    EXPECT_EQ(fmlib::RegExpPatternCount(smiley, u"."), 2);
    EXPECT_EQ(fmlib::RegExpPatternCount(smiley + smiley, smiley + u"+"), 2);  // + repeats the low surrogate only
    EXPECT_EQ(fmlib::RegExpPatternCount(std::u16string(1, char16_t(0xDE00)), u"[\\ud800-\\udfff]"), 1);
}

TEST(RegExpTranslation, SpellsOutEcmaScriptSets)
{
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u".").pcrePattern, "[^\\x{a}\\x{d}\\x{2028}\\x{2029}]");
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"\\d").pcrePattern, "[\\x{30}-\\x{39}]");
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"[]").pcrePattern, "(?:(?!))");
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"[^]").pcrePattern, "(?s:.)");
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"a$").pcrePattern, "a\\z");
}

TEST(RegExpTranslation, NamedGroupsBecomeNumberedOnes)
{
    const vtl::sTranslatedPattern t = vtl::TranslateECMAScriptPattern(u"\\k<b>(?<a>x)(y)(?<b>z)\\k<a>");
    EXPECT_EQ(t.pcrePattern, "(?C'3')\\g{3}(x)(y)(z)(?C'1')\\g{1}");
    EXPECT_EQ(t.groupCount, 3u);
}

TEST(RegExpTranslation, PerlOnlySyntaxCannotReachTheEngine)
{
    // Characters PCRE2 would read as syntax arrive as hexadecimal escapes.
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"\\Q\\E#").pcrePattern, "QE\\x{23}");
    EXPECT_NE(ErrorOf(u"a", u"(*UTF)a"), "");
    EXPECT_NE(ErrorOf(u"a", u"(?C1)a"), "");
}

TEST(RegExpPosixClasses, MeanWhatTheStandardLibraryMeansInTheCLocale)
{
    const struct {
        const char* name;
        int (*is)(int);
    } classes[] = {{"alnum", isalnum}, {"alpha", isalpha}, {"blank", isblank}, {"cntrl", iscntrl},
                   {"digit", isdigit}, {"graph", isgraph}, {"lower", islower}, {"print", isprint},
                   {"punct", ispunct}, {"space", isspace}, {"upper", isupper}, {"xdigit", isxdigit}};
    for (const auto& c : classes) {
        vtl::cRegExp expression(U(("[[:" + std::string(c.name) + ":]]").c_str()));
        vtl::cRegExp negated(U(("[^[:" + std::string(c.name) + ":]]").c_str()));
        for (char16_t unit = 0; unit < 0x100; ++unit) {
            const std::u16string text(1, unit);
            const bool member = unit < 0x80 && c.is(unit) != 0;  // ASCII only, as in the C locale
            EXPECT_EQ(expression.search(text, 0), member) << c.name << " " << int(unit);
            EXPECT_EQ(negated.search(text, 0), !member) << c.name << " " << int(unit);
        }
    }
}

TEST(RegExpPosixClasses, AreMembersOfTheirBracketOnly)
{
    EXPECT_EQ(Count("ab12:c", "[[:digit:]]+"), 1);
    EXPECT_EQ(Count("a b\t1", "[[:alpha:][:space:]]+"), 1);
    EXPECT_EQ(Count("a-b_c", "[^[:alnum:]]"), 2);
    EXPECT_EQ(Count("x1-", "[x[:digit:]-]+"), 1);
    // At the end of a range, as a class escape would be: three members.
    EXPECT_EQ(Count("b-", "[a-[:digit:]]"), 1);
    // Their "]" does not close the bracket, so the '(' after it is no group.
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"[[:digit:](]").groupCount, 0u);
    EXPECT_EQ(Count("(", "[[:digit:](]"), 1);
    // Elsewhere the characters keep their ECMAScript meaning.
    EXPECT_EQ(Count("d", "[:digit:]"), 1);      // a bracket of ':', 'd', 'i', 'g', 't'
    EXPECT_EQ(Count("f]", "[[:foo:]]"), 1);     // not a class name: '[', ':', 'f', 'o', then ']'
    EXPECT_EQ(Count("1", "\\[[:digit:]]"), 0);  // an escaped '[' opens no bracket
}

TEST(RegExpErrors, MessagesNameThePatternAndTheFault)
{
    EXPECT_EQ(ErrorOf(u"a", u"(a"), "Invalid regular expression: /(a/: Unterminated group");
    EXPECT_EQ(ErrorOf(u"a", u"a)"), "Invalid regular expression: /a)/: Unmatched ')'");
    EXPECT_EQ(ErrorOf(u"a", u"[b-a]"), "Invalid regular expression: /[b-a]/: Range out of order in character class");
    EXPECT_EQ(ErrorOf(u"a", u"(?<=a+)b"),
              "Invalid regular expression: /(?<=a+)b/: lookbehind assertion is not fixed length");
    // A non-ASCII pattern is shown as UTF-8, an unpaired surrogate as U+FFFD.
    EXPECT_EQ(ErrorOf(u"a", std::u16string{u'\u00e9', char16_t(0xD800), u'('}),
              "Invalid regular expression: /\u00e9\ufffd(/: Unterminated group");
    // A long pattern is shown by its start.
    EXPECT_EQ(ErrorOf(u"a", u"(" + std::u16string(1000, u'a')),
              "Invalid regular expression: /(" + std::string(199, 'a') + ".../: Unterminated group");
}

TEST(RegExpErrors, DeepNestingIsRefusedNotRecursedInto)
{
    const std::u16string deep = std::u16string(100000, u'(') + std::u16string(100000, u')');
    EXPECT_NE(ErrorOf(u"a", deep).find("nested too deeply"), std::string::npos);
}

TEST(RegExpLimits, CatastrophicBacktrackingEndsInAnErrorQuickly)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string message = ErrorOf(std::u16string(40, u'x') + u"zy", u"(x+x+)+y");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_NE(message.find("too many backtracking steps"), std::string::npos) << message;
    EXPECT_LT(elapsed, std::chrono::seconds(5));  // generous: this only guards against a hang
}

TEST(RegExpLimits, PatternsThatCompileToHugeProgramsAreRefused)
{
    // Nested counted repeats are copied out by the engine: this short pattern would take 128 MB and seconds to
    // compile, and then stay cached.
    const std::string message = ErrorOf(u"ab", u"(?:(?:ab){2000}){2000}");
    EXPECT_NE(message.find("/(?:(?:ab){2000}){2000}/: regular expression is too large"), std::string::npos)
        << message;
    // Honest counted repeats still compile.
    EXPECT_EQ(fmlib::RegExpPatternCount(std::u16string(4000, u'a'), u"(?:a{20}){100}"), 2);
}

TEST(RegExpLimits, QuadraticWorkOverALongTextEndsAtTheTimeBudget)
{
    vtl::cRegExp expression(u"(a|ab)*c", std::chrono::milliseconds(50));
    const std::u16string text = std::u16string(1000000, u'a') + u"b";
    try {
        expression.countMatches(text);
        FAIL() << "no error";
    } catch (const vtl::cRegExpError& e) {
        EXPECT_NE(std::string(e.what()).find("took longer than 50 ms"), std::string::npos) << e.what();
    }
}

// Patterns whose single match does work that grows with the text faster than PCRE2's match limit counts it:
// back-references compare a whole group in one step, and a run scanned inside a look-ahead or before a possessive
// stop is one step however long it is.
struct sOneMatchBomb {
    const char16_t* pattern;
    char16_t run;          // the text is this unit repeated, then `tail`
    const char16_t* tail;
};
const sOneMatchBomb kOneMatchBombs[] = {
    {u"^(a+)\\1+b", u'a', u"cb"},
    {u"(a+)\\1+b", u'a', u"cb"},
    {u"(?<g>a+)\\k<g>+b", u'a', u"cb"},
    {u"(?:(?=a*c)|a)*b", u'a', u"cb"},
    {u"\\d*\\d*x", u'1', u"yx"},
};

TEST(RegExpLimits, WorkInsideOneMatchEndsAtTheTimeBudget)
{
    // Each of these took seconds to minutes in a single match while the budget was checked between matches only.
    const auto budget = std::chrono::milliseconds(200);
    const auto generousBound = budget + std::chrono::milliseconds(300);
    for (const sOneMatchBomb& bomb : kOneMatchBombs) {
        for (size_t length : {50000, 100000, 200000}) {
            const std::u16string text = std::u16string(length, bomb.run) + bomb.tail;
            const auto cpuBefore = vtl::cMatchBudget::ThreadCpuTime();
            std::string message;
            try {
                vtl::cRegExp(bomb.pattern, budget).countMatches(text);
            } catch (const vtl::cRegExpError& e) {
                message = e.what();
            }
            const auto used = vtl::cMatchBudget::ThreadCpuTime() - cpuBefore;
            const std::string where = vtl::PatternForMessage(bomb.pattern) + " over " + std::to_string(length);
            EXPECT_NE(message.find("gave up: matching took longer than 200 ms"), std::string::npos)
                << where << ": " << message;
            EXPECT_LT(used, generousBound) << where;
        }
    }
}

TEST(RegExpLimits, BudgetChecksAreOnlyWhereOneStepCanGrow)
{
    // Ordinary patterns keep PCRE2's fast paths: a run scanned once per search start, a run that ends the match, a
    // lazy run, a short counted repeat and a repeated group (each repetition a counted step) get no callout.
    for (const char16_t* plain : {u"x*", u"^[a-z]+", u"[a-z]+\\d+", u"(\\d+)-(\\d+)", u"\\d+|y+\\w+", u"a*?b*?c",
                                  u"\\d{4}-\\d{2}", u"(?:ab)+c", u"(?<n>a+)b"})
        EXPECT_EQ(vtl::TranslateECMAScriptPattern(plain).pcrePattern.find("(?C"), std::string::npos)
            << vtl::TranslateECMAScriptPattern(plain).pcrePattern;
    // A back-reference; a run after something that can be backtracked into, in a repeated group, or in a
    // look-ahead (which may be entered again after its own run succeeded) does.
    for (const char16_t* checked : {u"(a)\\1", u"a?b+c", u"(?:a|b)c+d", u"(?:x\\d+,)*", u"\\w*(?=\\d+,)", u"\\d*\\d*x"})
        EXPECT_NE(vtl::TranslateECMAScriptPattern(checked).pcrePattern.find("(?C"), std::string::npos)
            << vtl::PatternForMessage(checked);
    // The callouts change no answer.
    EXPECT_EQ(Count("abab abab", "(ab)\\1"), 2);
    EXPECT_EQ(Count("1x2x 3", "(?:\\d+x)+"), 1);
    EXPECT_EQ(Count("12,3,x 4,", "(?=\\d+,)\\w+"), 3);
    EXPECT_EQ(Count("xx", "(x)\\2?\\1"), 1);
}

TEST(RegExpLimits, TheBudgetCountsProcessorTimeNotWaiting)
{
    using namespace std::chrono_literals;
    const auto busy = [](std::chrono::milliseconds cpu) {
        const auto start = vtl::cMatchBudget::ThreadCpuTime();
        while (vtl::cMatchBudget::ThreadCpuTime() - start < cpu) {
        }
    };
    vtl::cMatchBudget budget(100ms, 5s);
    busy(5ms);
    EXPECT_FALSE(budget.spent());
    std::this_thread::sleep_for(250ms);  // waiting for a processor costs the thread no CPU time
    EXPECT_FALSE(budget.spent());
    busy(120ms);
    EXPECT_TRUE(budget.spent());
    EXPECT_EQ(budget.reason(), "matching took longer than 100 ms");

    // A thread that waits for a processor before its first check is charged a tenth of the budget for it at most.
    vtl::cMatchBudget late(100ms, 5s);
    std::this_thread::sleep_for(150ms);
    EXPECT_FALSE(late.spent());
    busy(95ms);
    EXPECT_TRUE(late.spent());

    // A thread that never gets to run still ends, at the wall-clock ceiling.
    vtl::cMatchBudget starved(100ms, 300ms);
    busy(2ms);
    EXPECT_FALSE(starved.spent());
    std::this_thread::sleep_for(350ms);
    EXPECT_TRUE(starved.spent());
    EXPECT_NE(starved.reason().find("300 ms passed"), std::string::npos) << starved.reason();
    EXPECT_EQ(vtl::cMatchBudget(2000ms).reason(), "matching took longer than 2000 ms");
}

TEST(RegExpLimits, TheSameSearchGetsTheSameAnswerWhenThreadsShareOneProcessor)
{
    // Eight searches on one processor each wait for the others: seven eighths of their time is not theirs.
    cpu_set_t processors;
    ASSERT_EQ(0, sched_getaffinity(0, sizeof processors, &processors));
    int first = 0;
    while (!CPU_ISSET(first, &processors)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);

    std::u16string text;
    for (int k = 0; k < 40000; ++k) text += u"ab12 cd345 ";
    const char16_t* pattern = u"[a-z]+\\d+";
    const auto before = vtl::cMatchBudget::ThreadCpuTime();
    const int64_t expected = vtl::cRegExp(pattern).countMatches(text);
    const auto alone = vtl::cMatchBudget::ThreadCpuTime() - before;
    const auto budget = std::max(std::chrono::milliseconds(60),
                                 std::chrono::duration_cast<std::chrono::milliseconds>(alone * 4));
    int repeats = 1;  // each thread's work: long enough that it is spread over many time slices
    while (alone * repeats < budget / 3) ++repeats;

    std::atomic<int> ready{0};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    constexpr int kThreads = 8;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            pthread_setaffinity_np(pthread_self(), sizeof one, &one);
            ++ready;
            while (ready < kThreads) std::this_thread::yield();
            try {
                vtl::cRegExp expression(pattern, budget);
                for (int r = 0; r < repeats; ++r)
                    if (expression.countMatches(text) != expected) ++wrong;
            } catch (const vtl::cRegExpError&) {
                ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0) << "budget " << budget.count() << " ms, " << repeats << " searches per thread";
}

TEST(RegExpLimits, LongRepetitionsDoNotExhaustTheStack)
{
    // The standard library's engine recursed once per character here and crashed.
    const std::u16string text(1000000, u'a');
    EXPECT_EQ(fmlib::RegExpPatternCount(text, u"(a|b)*"), 2);
    EXPECT_EQ(fmlib::RegExpPatternCount(text, u".*"), 2);
    EXPECT_EQ(fmlib::RegExpPatternCount(text, u"(?:a|(b))+$"), 1);
}

TEST(RegExpIteration, GroupsOfEachMatch)
{
    vtl::cRegExp expression(u"(\\w+)-(\\d)?");
    const std::u16string text = u"ab-1 cd-";
    size_t position = 0;
    ASSERT_TRUE(expression.searchNext(text, position));
    EXPECT_EQ(expression.groupStart(1), 0u);
    EXPECT_EQ(expression.groupEnd(2), 4u);
    EXPECT_EQ(position, 4u);
    ASSERT_TRUE(expression.searchNext(text, position));
    EXPECT_EQ(expression.groupStart(0), 5u);
    EXPECT_FALSE(expression.groupMatched(2));
    EXPECT_FALSE(expression.groupMatched(3));  // beyond the pattern's groups
    EXPECT_FALSE(expression.searchNext(text, position));
}

TEST(RegExpIteration, AnEmptyRepetitionBeyondTheRequiredOnesIsRefused)
{
    // ECMAScript's group 1 of (\w*)+ on "abc" is "abc": a second, empty repetition is refused, not kept.
    vtl::cRegExp repeated(u"(\\w*)+");
    ASSERT_TRUE(repeated.search(u"abc", 0));
    EXPECT_EQ(repeated.groupStart(1), 0u);
    EXPECT_EQ(repeated.groupEnd(1), 3u);
    // The only repetition of ? matched nothing: the group did not take part.
    vtl::cRegExp optional(u"(a*)?b");
    ASSERT_TRUE(optional.search(u"b", 0));
    EXPECT_FALSE(optional.groupMatched(1));
    // Hidden groups sit between the pattern's own: numbers, back-references and names still find them.
    vtl::cRegExp numbered(u"(?<x>a*)*(b)(?:c?)*\\2\\k<x>");
    ASSERT_TRUE(numbered.search(u"aabbaa", 0));
    EXPECT_EQ(numbered.groupCount(), 2u);
    EXPECT_EQ(numbered.groupStart(1), 0u);
    EXPECT_EQ(numbered.groupEnd(1), 2u);
    EXPECT_EQ(numbered.groupStart(2), 2u);
    EXPECT_EQ(numbered.groupEnd(2), 3u);
    EXPECT_EQ(numbered.groupEnd(0), 6u);
    // A repeated back-reference to a group that did not take part matches the empty text.
    EXPECT_EQ(Count("ab", "a(x)?\\1+"), 1);
}

TEST(RegExpTranslation, OrdinaryRepeatsAreLeftAsTheyAre)
{
    // Only a repeated body that can match the empty text gets the check of empty repetitions.
    for (const char16_t* pattern : {u"(a|b)*", u"(\\d+,)+", u"(?:x\\s*)*", u"a{2,}", u"(a)?"}) {
        const vtl::sTranslatedPattern t = vtl::TranslateECMAScriptPattern(pattern);
        EXPECT_EQ(t.emptyIterationChecks, 0u) << t.pcrePattern;
        EXPECT_FALSE(t.namedGroups) << t.pcrePattern;
    }
    EXPECT_EQ(vtl::TranslateECMAScriptPattern(u"(?:a*)*").emptyIterationChecks, 1u);
}

TEST(RegExpConcurrency, ThreadsShareCompiledPatternsSafely)
{
    // More patterns than the cache keeps, so that threads also evict and compile while others match.
    std::vector<std::u16string> patterns;
    for (int k = 0; k < 40; ++k) patterns.push_back(u"(\\w)\\1|a{" + U(std::to_string(k % 7 + 1).c_str()) + u"}|" + U(std::to_string(k).c_str()));
    std::u16string text;
    for (int k = 0; k < 2000; ++k) text += u"aa bb " + U(std::to_string(k).c_str()) + u" aaaa ";
    std::vector<int64_t> expected;
    for (const auto& p : patterns) expected.push_back(fmlib::RegExpPatternCount(text, p));

    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                const size_t k = size_t(t * 7 + round * 3) % patterns.size();
                if (fmlib::RegExpPatternCount(text, patterns[k]) != expected[k]) ++mismatches;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

// ---- differential run against Node.js ----

struct sCase {
    std::u16string pattern;
    std::u16string text;
    std::string documented;  // the plug-in's answer where it differs from Node on purpose
    int line = 0;
};

std::vector<sCase> ReadCorpus(const std::string& path)
{
    std::ifstream in(path);
    std::vector<sCase> cases;
    std::vector<std::u16string> patterns;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon);
        const std::vector<std::u16string> values = nodetest::ParseJsonStrings(line.substr(colon + 1));
        if (key == "patterns") {
            patterns = values;
        } else if (key == "texts") {
            for (const auto& p : patterns)
                for (const auto& t : values) cases.push_back({p, t, "", number});
        } else if (key == "differs" && values.size() == 3) {
            cases.push_back({values[0], values[1], std::string(values[2].begin(), values[2].end()), number});
        }
    }
    return cases;
}

std::string OurCount(const sCase& c)
{
    try {
        return std::to_string(fmlib::RegExpPatternCount(c.text, c.pattern));
    } catch (const vtl::cRegExpError&) {
        return "error";
    }
}

TEST(RegExpNodeDifferential, CountsAgreeWithNodeOverTheCorpus)
{
    if (!nodetest::NodeAvailable()) GTEST_SKIP() << "node is not installed";
    const std::vector<sCase> cases = ReadCorpus(nodetest::DataFile("RegExpCorpus.txt"));
    ASSERT_GE(cases.size(), 300u);

    const std::vector<std::string> node =
        nodetest::NodeLines("regexp_node_counts.js", "'" + nodetest::DataFile("RegExpCorpus.txt") + "'");
    ASSERT_EQ(node.size(), cases.size()) << "node printed a different number of results";

    size_t differences = 0;
    for (size_t k = 0; k < cases.size(); ++k) {
        const sCase& c = cases[k];
        const std::string ours = OurCount(c);
        const std::string expected = c.documented.empty() ? node[k] : c.documented;
        EXPECT_TRUE(c.documented.empty() || c.documented != node[k])
            << "line " << c.line << " is listed as a difference but Node agrees";
        if (ours != expected && ++differences <= 40) {
            ADD_FAILURE() << "line " << c.line << ": /" << nodetest::Show(c.pattern) << "/ on \"" << nodetest::Show(c.text)
                          << "\": ours " << ours << ", expected " << expected << " (node " << node[k] << ")";
        }
    }
    EXPECT_EQ(differences, 0u) << "of " << cases.size() << " pairs";
}

}  // namespace
