// Cost of the allow-list check. An allowed Vantrel_Version call (emulator's direct call path), the calling file's line
// first in a 10-line file and last in files of 10 to 10,000 lines, compared with
// - BM_OpenReadClose: a bare open+read+close of the same file (what reading it on every call costs at least);
// - BM_Stat + BM_VersionWork: a bare stat of the file plus the same work through the same call path without any
//   allow-list check (a function registered here that answers "3.2" inside the plug-in's exception boundary).
// An unchanged file is not read again, so the allowed call should stay within 1.5x of that sum. The file's reads
// per call are reported ("reads"; 0 once the parsed file is kept). BM_StatAndVersionWork runs the stat and the work
// in one loop, for comparison; BM_AllowedVersionCallSessions makes the call from 1, 2 and 4 sessions at once.
// BM_RefusedCall: a call the file refuses, with the journal on (a line a minute goes out, the others are counted) and
// with the file's "log=off"; the journal may add at most 10 %. BM_JournalLineHeldBack times what the journal adds
// to such a call on its own (the look-up of a line the once-a-minute limit holds back), steadier than the difference
// of two separate runs on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "FMHost/Host.h"
#include "FMWrapper/FMXExtern.h"
#include "FMWrapper/FMXText.h"
#include "errors/AllowList.h"
#include "errors/FunctionGuard.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "journal/Journal.h"
#include "../Tests/support/PluginTestSupport.h"

namespace
{
const char kPath[] = BENCH_ALLOWLIST_PATH;

std::string AllowList(int lines, bool callerFirst)
{
    std::string content;
    const std::string caller = "Invoices\tVantrel_Get|Vantrel_Version\n";
    if (callerFirst)
        content += caller;
    for (int i = callerFirst ? 1 : 0; i < (callerFirst ? lines : lines - 1); ++i)
        content += "Archive" + std::to_string(i) + "\tVantrel_Version|Vantrel_Get|Vantrel_ExecuteSQL\n";
    if (!callerFirst)
        content += caller;
    return content;
}

struct cBench
{
    cBench() { session.OpenFile("Invoices"); }
    plugintest::cLoadedPlugIn plugin;
    FMHost::Session session;
};

cBench &Bench()
{
    static cBench bench;
    return bench;
}

void PrepareContent(benchmark::State &state, const std::string &content)
{
    if (plugintest::ReadFile(kPath) != content)
    {
        plugintest::WriteFile(kPath, content);
        // A file changed within the last two seconds is read on every call; measure the usual, unchanged one.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    state.counters["bytes"] = static_cast<double>(content.size());
}

void Prepare(benchmark::State &state)
{
    PrepareContent(state, AllowList(static_cast<int>(state.range(0)), state.range(1) != 0));
}

fmx::errcode VersionWork(short, const fmx::ExprEnv &env, const fmx::DataVect &, fmx::Data &result)
{
    return vtl::GuardedCall(nullptr, env, result, [&] { fmlib::SetTextResult(result, "3.2"); });
}

// Calls of Vantrel_Version and of the same work without the check, in the bench's session.
struct cCalls
{
    // checked: also make sure that Vantrel_Version is allowed. The calls are made in `session`.
    cCalls(benchmark::State &state, bool checked, FMHost::Session &in = Bench().session) : session(in)
    {
        if (!Answers(work))
            state.SkipWithError("Bench_VersionWork cannot be called");
        if (checked && !Answers(version))
            state.SkipWithError("Vantrel_Version is not allowed");
    }
    static FMHost::Function Work()
    {
        static const bool registered = [] {
            fmx::QuadCharUniquePtr id('B', 'n', 'c', 'h');
            fmx::TextUniquePtr name;
            name->Assign("Bench_VersionWork");
            return fmx::ExprEnv::RegisterExternalFunction(*id, 1, *name, *name, 0, 1, 0xFF01, VersionWork) == 0;
        }();
        return FMHost::Function::Find(registered ? "Bench_VersionWork" : "");
    }
    bool Answers(FMHost::Function function) { return Call(function) == 0 && FMHost::TextOf(*result) == "3.2"; }
    fmx::errcode Call(FMHost::Function function) { return session.Call(function, *args, *result); }

    cBench &bench = Bench(); // first: it loads the plug-in
    FMHost::Session &session;
    FMHost::Function version = FMHost::Function::Find("Vantrel_Version");
    FMHost::Function work = Work();
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;
};

void BM_AllowedVersionCall(benchmark::State &state)
{
    Prepare(state);
    cCalls calls(state, true);
    const unsigned long reads = vtl::AllowListFileReads();
    for (auto _ : state)
        benchmark::DoNotOptimize(calls.Call(calls.version));
    state.counters["reads"] = benchmark::Counter(static_cast<double>(vtl::AllowListFileReads() - reads),
                                                 benchmark::Counter::kAvgIterations);
}

void BM_OpenReadClose(benchmark::State &state)
{
    Prepare(state);
    static char buffer[64 * 1024];
    for (auto _ : state)
    {
        const int fd = ::open(kPath, O_RDONLY | O_CLOEXEC);
        ssize_t got;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            benchmark::DoNotOptimize(buffer[0]);
        ::close(fd);
    }
}

void BM_Stat(benchmark::State &state)
{
    Prepare(state);
    struct stat info;
    for (auto _ : state)
        benchmark::DoNotOptimize(::stat(kPath, &info));
}

void BM_VersionWork(benchmark::State &state)
{
    cCalls calls(state, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(calls.Call(calls.work));
}

// Both in one loop: the stat leaves caches and the TLB as cold for the work as it leaves them for the check.
void BM_StatAndVersionWork(benchmark::State &state)
{
    Prepare(state);
    cCalls calls(state, false);
    struct stat info;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(::stat(kPath, &info));
        benchmark::DoNotOptimize(calls.Call(calls.work));
    }
}

// CPU time of this thread for `count` runs of body, in nanoseconds per run.
template <class Body>
double PerRun(int count, Body body)
{
    struct timespec start, end;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    for (int i = 0; i < count; ++i)
        body();
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return ((end.tv_sec - start.tv_sec) * 1e9 + (end.tv_nsec - start.tv_nsec)) / count;
}

// The target's ratio with both sides timed in alternating blocks of 1,000, so that a change in the machine's speed
// during the run (common on shared virtual machines) weighs on both alike. "ratio" is the median over the blocks of
// the allowed call's time / (the stat's time + the own work's time).
void BM_AllowedCallRatio(benchmark::State &state)
{
    Prepare(state);
    cCalls calls(state, true);
    struct stat info;
    std::vector<double> ratios;
    for (auto _ : state)
    {
        const double call = PerRun(1000, [&] { benchmark::DoNotOptimize(calls.Call(calls.version)); });
        const double stat = PerRun(1000, [&] { benchmark::DoNotOptimize(::stat(kPath, &info)); });
        const double work = PerRun(1000, [&] { benchmark::DoNotOptimize(calls.Call(calls.work)); });
        ratios.push_back(call / (stat + work));
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios.empty() ? 0.0 : ratios[ratios.size() / 2];
}

// Several sessions at once, each on its own thread (real time per call, all threads together).
void BM_AllowedVersionCallSessions(benchmark::State &state)
{
    if (state.thread_index() == 0)
        Prepare(state);
    FMHost::Session own;
    own.OpenFile("Invoices");
    // Checked after the loop: the other threads may get here before the first has written the file.
    cCalls calls(state, false, own);
    for (auto _ : state)
        benchmark::DoNotOptimize(calls.Call(calls.version));
    if (!calls.Answers(calls.version))
        state.SkipWithError("Vantrel_Version is not allowed");
}

// {journal on}: Vantrel_GetTimestamp, which the caller's line does not name, in the 10-line file, caller first.
void BM_RefusedCall(benchmark::State &state)
{
    const bool journal = state.range(0) != 0;
    PrepareContent(state, (journal ? "" : "/options\tlog=off\n") + AllowList(10, true));
    cCalls calls(state, true);
    const FMHost::Function refused = FMHost::Function::Find("Vantrel_GetTimestamp");
    vtl::ResetJournalLimits();
    for (auto _ : state)
        benchmark::DoNotOptimize(calls.Call(refused));
    if (calls.Call(refused) != 0 || FMHost::TextOf(*calls.result) != "?" || vtl::JournalOn() != journal)
        state.SkipWithError("Vantrel_GetTimestamp is not refused as it should be");
}

void BM_JournalLineHeldBack(benchmark::State &state)
{
    vtl::SetJournalOn(true);
    vtl::Journal(vtl::eJournalKind::kRefusedCall, "Invoices", "Vantrel_GetTimestamp", "the first goes out");
    for (auto _ : state)
    {
        vtl::cJournalLine line(vtl::eJournalKind::kRefusedCall, "Invoices", "Vantrel_GetTimestamp");
        benchmark::DoNotOptimize(static_cast<bool>(line));
    }
}

// {lines, caller first}
void Files(benchmark::internal::Benchmark *b)
{
    b->Args({10, 1})->Args({10, 0})->Args({100, 0})->Args({1000, 0})->Args({10000, 0});
}
}

BENCHMARK(BM_AllowedVersionCall)->Apply(Files);
BENCHMARK(BM_OpenReadClose)->Apply(Files);
BENCHMARK(BM_Stat)->Args({10, 1});
BENCHMARK(BM_VersionWork);
BENCHMARK(BM_StatAndVersionWork)->Args({10, 1});
BENCHMARK(BM_AllowedVersionCallSessions)->Args({10, 0})->Threads(1)->Threads(2)->Threads(4)->UseRealTime();
BENCHMARK(BM_AllowedCallRatio)->Args({10, 1})->Args({10, 0})->Iterations(300);
BENCHMARK(BM_RefusedCall)->Arg(1)->Arg(0);
BENCHMARK(BM_JournalLineHeldBack);
BENCHMARK_MAIN();
