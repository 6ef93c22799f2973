// fmlib::RegExpPatternCount against Node's String.prototype.match with the g flag, in one run, on the same
// 10,000,000-character text. Node is timed first (by a script run once for all patterns); Google Benchmark
// then times ours; the summary prints both medians of CPU time and ours / Node.
// "ThroughFunction" times Vantrel_RegExp_PatternCount as the host calls it, the text an argument held by the
// host: what a calculation pays, the copy of the text out of the host included (in ns per character too).
// Also counts .* over 100,000,000 characters once, to show that long texts neither crash nor overflow.
// "OneMatchBudget" times the calls whose single match does work that grows faster than the text (a back-reference
// over a long run, a run scanned again inside a look-ahead): each must end at the time budget with 2400.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "iOS_SupportFunctions/RegExpPatternCount.h"
#include "regex/RegExpFunctions.h"
#include "regex/cRegExp.h"

namespace {

const char* const kPatterns[] = {
    "needle",            // a literal
    "[a-z]+\\d+",        // a class run
    "foo|bar|baz|qux",   // an alternation
    "^[a-z]+",           // anchored
    "x*",                // an empty match at almost every position
    "\\b\\w+@\\w+\\.com\\b",
    "(\\d+)-(\\d+)",
    "q[a-z]x",           // a first-character search
};
// Timed through the host function as well: answered at the first position, a literal, a first character.
const char* const kThroughFunction[] = {"^[a-z]+", "needle", "q[a-z]x"};
// Patterns whose one match is quadratic, over a run of a million units and a tail that stops the match.
struct sOneMatchBomb {
    const char* pattern;
    char run;
    const char* tail;
};
const sOneMatchBomb kOneMatchBombs[] = {
    {"^(a+)\\1+b", 'a', "cb"},
    {"(a+)\\1+b", 'a', "cb"},
    {"(?:(?=a*c)|a)*b", 'a', "cb"},
};
constexpr size_t kBombRun = 1'000'000;
constexpr size_t kTextLength = 10'000'000;
constexpr int kRepetitions = 5;

// Words, numbers, spaces and line breaks in a fixed pseudo-random order.
std::string MakeText(size_t length)
{
    static const char* const kWords[] = {"alpha", "beta", "foo", "gamma7", "delta", "bar", "x", "12-345",
                                         "mail@host.com", "epsilon", "baz", "zeta42", "needle", "eta", "qux"};
    std::string text;
    text.reserve(length + 16);
    uint32_t seed = 12345;
    while (text.size() < length) {
        seed = seed * 1103515245u + 12345u;
        text += kWords[(seed >> 16) % (sizeof kWords / sizeof kWords[0])];
        text += ((seed >> 8) % 11 == 0) ? '\n' : ' ';
    }
    text.resize(length);
    return text;
}

const std::string& Text8()
{
    static const std::string text = MakeText(kTextLength);
    return text;
}

const std::u16string& Text()
{
    static const std::u16string text(Text8().begin(), Text8().end());
    return text;
}

struct sNodeTiming {
    double medianMs = 0;
    long long count = -1;
};

std::map<std::string, sNodeTiming> TimeNode()
{
    std::map<std::string, sNodeTiming> timings;
    if (std::system("command -v node >/dev/null 2>&1") != 0) return timings;
    const std::string textFile = "/tmp/vantrel-regexp-bench.txt";
    std::ofstream(textFile) << Text8();
    std::string command = "node '" VANTREL_SOURCE_DIR "/Development/Benchmarks/regexp_node_timings.js' " + textFile +
                          " " + std::to_string(kRepetitions);
    for (const char* pattern : kPatterns) command += " '" + std::string(pattern) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char line[4096];
    while (pipe && std::fgets(line, sizeof line, pipe.get())) {
        // {"pattern":"...","count":N,"medianMs":M}: the patterns hold no quotation marks.
        const std::string s = line;
        const size_t p = s.find("\"pattern\":\"") + 11;
        std::string pattern = s.substr(p, s.find("\",\"count\"") - p);
        size_t escaped;
        while ((escaped = pattern.find("\\\\")) != std::string::npos) pattern.erase(escaped, 1);
        sNodeTiming& t = timings[pattern];
        t.count = std::atoll(s.c_str() + s.find("\"count\":") + 8);
        t.medianMs = std::atof(s.c_str() + s.find("\"medianMs\":") + 11);
    }
    std::remove(textFile.c_str());
    return timings;
}

// Node's timings, also reported as counters so that the JSON output carries both sides.
std::map<std::string, sNodeTiming> gNode;

void ReportCounts(benchmark::State& state, const char* pattern, int64_t count)
{
    state.counters["matches"] = double(count);
    const auto node = gNode.find(pattern);
    if (node != gNode.end()) {
        state.counters["node_cpu_ms"] = node->second.medianMs;
        state.counters["node_matches"] = double(node->second.count);
    }
}

void BM_PatternCount(benchmark::State& state, const char* pattern)
{
    const std::u16string wide(pattern, pattern + std::char_traits<char>::length(pattern));
    int64_t count = 0;
    for (auto _ : state) {
        count = fmlib::RegExpPatternCount(Text(), wide);
        benchmark::DoNotOptimize(count);
    }
    ReportCounts(state, pattern, count);
}

// The host side of a call: the text and the pattern as argument values, as a calculation passes them.
struct sHostCall {
    FMHost::Session session;
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;

    explicit sHostCall(const char* pattern, const std::u16string& subject = Text())
    {
        std::ofstream(BENCH_ALLOWLIST_PATH, std::ios::trunc) << "Bench\tany\n";
        session.OpenFile("Bench");
        const std::u16string patternUnits(pattern, pattern + std::strlen(pattern));
        for (const std::u16string* units : {&subject, &patternUnits}) {
            fmx::TextUniquePtr text;
            text->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16*>(units->data()),
                                          fmx::uint32(units->size()));
            fmx::DataUniquePtr value;
            fmx::LocaleUniquePtr locale;
            value->SetAsText(*text, *locale);
            args->PushBack(*value);
        }
    }
};

void BM_ThroughFunction(benchmark::State& state, const char* pattern)
{
    sHostCall call(pattern);
    for (auto _ : state) Vantrel_RegExp_PatternCount(0, call.session.Env(), *call.args, *call.result);
    ReportCounts(state, pattern, call.result->GetAsNumber().AsLong());
}

void BM_OneMatchBudget(benchmark::State& state, const sOneMatchBomb* bomb)
{
    std::u16string subject(kBombRun, char16_t(bomb->run));
    subject.append(bomb->tail, bomb->tail + std::strlen(bomb->tail));
    sHostCall call(bomb->pattern, subject);
    for (auto _ : state) Vantrel_RegExp_PatternCount(0, call.session.Env(), *call.args, *call.result);
    state.counters["budget_ms"] = double(vtl::cRegExp::kDefaultTimeBudget.count());
    state.counters["answer"] = double(call.result->GetAsNumber().AsLong());  // 2400 when the budget ended it
}

void BM_DotStarOver100MillionCharacters(benchmark::State& state)
{
    const std::u16string text(100'000'000, u'a');
    int64_t count = 0;
    for (auto _ : state) count = fmlib::RegExpPatternCount(text, u".*");
    state.counters["matches"] = double(count);  // the whole text, then the empty match at its end
}

// Keeps the median of each benchmark for the summary.
class cMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medianMs;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medianMs[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::cout << "Timing Node on " << kTextLength << " characters..." << std::endl;
    gNode = TimeNode();
    const std::map<std::string, sNodeTiming>& node = gNode;

    for (const char* pattern : kPatterns) {
        benchmark::RegisterBenchmark((std::string("PatternCount/") + pattern).c_str(), BM_PatternCount, pattern)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->Iterations(1);
    }
    for (const char* pattern : kThroughFunction) {
        benchmark::RegisterBenchmark((std::string("ThroughFunction/") + pattern).c_str(), BM_ThroughFunction, pattern)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->Iterations(1);
    }
    for (const sOneMatchBomb& bomb : kOneMatchBombs) {
        benchmark::RegisterBenchmark((std::string("OneMatchBudget/") + bomb.pattern).c_str(), BM_OneMatchBudget, &bomb)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->Iterations(1);
    }
    benchmark::RegisterBenchmark("DotStarOver100MillionCharacters", BM_DotStarOver100MillionCharacters)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);

    cMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-28s %12s %12s %10s %10s\n", "pattern (10M characters)", "ours cpu ms", "node cpu ms", "ours/node",
                "counts");
    for (const char* pattern : kPatterns) {
        const auto ours = reporter.medianMs.find(std::string("PatternCount/") + pattern);
        const auto theirs = node.find(pattern);
        if (ours == reporter.medianMs.end()) continue;
        const int64_t count = fmlib::RegExpPatternCount(Text(), std::u16string(pattern, pattern + std::strlen(pattern)));
        if (theirs == node.end()) {
            std::printf("%-28s %12.2f %12s\n", pattern, ours->second, "no node");
            continue;
        }
        std::printf("%-28s %12.2f %12.2f %10.2f %10s\n", pattern, ours->second, theirs->second.medianMs,
                    ours->second / theirs->second.medianMs, count == theirs->second.count ? "agree" : "DIFFER");
    }
    std::printf("\n%-28s %12s %12s %12s %10s\n", "through the host function", "ours cpu ms", "ns per char",
                "node cpu ms", "ours/node");
    for (const char* pattern : kThroughFunction) {
        const auto ours = reporter.medianMs.find(std::string("ThroughFunction/") + pattern);
        const auto theirs = node.find(pattern);
        if (ours == reporter.medianMs.end()) continue;
        const double nodeMs = theirs == node.end() ? 0 : theirs->second.medianMs;
        std::printf("%-28s %12.2f %12.3f %12.2f %10.2f\n", pattern, ours->second, ours->second * 1e6 / kTextLength,
                    nodeMs, nodeMs > 0 ? ours->second / nodeMs : 0.0);
    }
    std::printf("\n%-28s %12s %12s %10s\n", "one match, 1M units", "ours cpu ms", "budget ms", "ours/budget");
    for (const sOneMatchBomb& bomb : kOneMatchBombs) {
        const auto ours = reporter.medianMs.find(std::string("OneMatchBudget/") + bomb.pattern);
        if (ours == reporter.medianMs.end()) continue;
        const double budgetMs = double(vtl::cRegExp::kDefaultTimeBudget.count());
        std::printf("%-28s %12.2f %12.0f %10.2f\n", bomb.pattern, ours->second, budgetMs, ours->second / budgetMs);
    }
    benchmark::Shutdown();
    return 0;
}
