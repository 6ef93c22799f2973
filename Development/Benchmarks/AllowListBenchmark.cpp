// The allow-list is read on every call. This compares an allowed Vantrel_Version call (emulator's direct call path)
// with a bare open+read+close of the same file: the calling file's line first in a 10-line file, and last in files
// of 10 to 10,000 lines (the cost should grow linearly with the bytes before the line).
#include <benchmark/benchmark.h>

#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "FMHost/Host.h"
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

void Prepare(benchmark::State &state)
{
    const std::string content = AllowList(static_cast<int>(state.range(0)), state.range(1) != 0);
    plugintest::WriteFile(kPath, content);
    state.counters["bytes"] = static_cast<double>(content.size());
}

void BM_AllowedVersionCall(benchmark::State &state)
{
    Prepare(state);
    cBench &bench = Bench();
    FMHost::Function version = FMHost::Function::Find("Vantrel_Version");
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;
    if (bench.session.Call(version, *args, *result) != 0 || FMHost::TextOf(*result) != "3.2")
        state.SkipWithError("Vantrel_Version is not allowed");
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.session.Call(version, *args, *result));
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

// {lines, caller first}
void Files(benchmark::internal::Benchmark *b)
{
    b->Args({10, 1})->Args({10, 0})->Args({100, 0})->Args({1000, 0})->Args({10000, 0});
}
}

BENCHMARK(BM_AllowedVersionCall)->Apply(Files);
BENCHMARK(BM_OpenReadClose)->Apply(Files);
BENCHMARK_MAIN();
