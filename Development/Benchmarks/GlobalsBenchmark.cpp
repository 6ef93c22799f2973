// Store and read back 1,000,000 distinct keys in the global dictionary: time per operation and peak memory per key.
// Read one key while 200,000 others are bound to files (dieonclose) with the die interval at its minimum, against
// the same read with no bound keys.
//   GlobalsBenchmark                      (every variant)
// "ThroughFunctions" calls Vantrel_SetGlobal / Vantrel_GetGlobal as the host does (allow-list check included);
// "Dictionary" calls the dictionary directly, without the per-call work of an external function.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <string>

#include "FMHost/Host.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTypes.h"
#include "globals/Dictionary.h"
#include "globals/GlobalFunctions.h"

namespace
{
constexpr int kKeys = 1000000;

// Bytes the process has allocated and not freed (plug-in and host alike).
double heapInUse()
{
    return static_cast<double>(mallinfo2().uordblks);
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void keyName(int i, char (&buffer)[32])
{
    std::snprintf(buffer, sizeof buffer, "customer-%07d", i);
}

// CPU seconds of this process: what the neighbours' load on a shared machine does not inflate.
double cpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct cFixture
{
    FMHost::Session session;
    fmx::TextUniquePtr key;
    fmx::FixPtUniquePtr number;
    fmx::DataUniquePtr keyData, value, result;
    fmx::LocaleUniquePtr locale;

    cFixture()
    {
        std::ofstream(BENCH_ALLOWLIST_PATH, std::ios::trunc) << "Bench\tany\n";
        session.OpenFile("Bench");
    }
    void setKey(int i)
    {
        char name[32];
        keyName(i, name);
        key->Assign(name);
        keyData->SetAsText(*key, *locale);
    }
    void setValue(int i)
    {
        number->AssignInt(i);
        value->SetAsNumber(*number);
    }
};

template <class Store, class Read>
void storeAndReadBack(benchmark::State &state, Store store, Read read)
{
    cFixture f;
    vtl::globalDictionary.clean();
    for (auto _ : state)
    {
        const long residentBefore = residentKiB();
        const double heapBefore = heapInUse();
        auto start = std::chrono::steady_clock::now();
        double cpuStart = cpuSeconds();
        for (int i = 0; i < kKeys; ++i)
        {
            f.setKey(i);
            f.setValue(i);
            store(f);
        }
        const double storeSeconds = secondsSince(start);
        const double storeCpuSeconds = cpuSeconds() - cpuStart;
        // The store only grows, so its end is the peak.
        const double heapPeak = heapInUse();
        const long residentPeak = residentKiB();

        start = std::chrono::steady_clock::now();
        cpuStart = cpuSeconds();
        long long sum = 0;
        for (int i = 0; i < kKeys; ++i)
        {
            f.setKey(i);
            f.result->Clear();
            read(f);
            sum += f.result->GetAsNumber().AsLong();
        }
        const double readSeconds = secondsSince(start);
        const double readCpuSeconds = cpuSeconds() - cpuStart;
        if (sum != static_cast<long long>(kKeys) * (kKeys - 1) / 2 || vtl::globalDictionary.size() != kKeys)
            state.SkipWithError("values did not come back");

        state.counters["store_ns_per_op"] = storeSeconds * 1e9 / kKeys;
        state.counters["read_ns_per_op"] = readSeconds * 1e9 / kKeys;
        state.counters["store_cpu_ns_per_op"] = storeCpuSeconds * 1e9 / kKeys;
        state.counters["read_cpu_ns_per_op"] = readCpuSeconds * 1e9 / kKeys;
        state.counters["peak_heap_bytes_per_key"] = (heapPeak - heapBefore) / kKeys;
        state.counters["peak_rss_bytes_per_key"] = static_cast<double>(residentPeak - residentBefore) * 1024.0 / kKeys;
        state.PauseTiming();
        vtl::globalDictionary.clean();
        malloc_trim(0);
        state.ResumeTiming();
    }
}

void BM_StoreAndReadMillionKeys_ThroughFunctions(benchmark::State &state)
{
    storeAndReadBack(
        state,
        [](cFixture &f) {
            fmx::DataVectUniquePtr args;
            args->PushBack(*f.keyData);
            args->PushBack(*f.value);
            Vantrel_SetGlobal(23, f.session.Env(), *args, *f.result);
        },
        [](cFixture &f) {
            fmx::DataVectUniquePtr args;
            args->PushBack(*f.keyData);
            Vantrel_GetGlobal(24, f.session.Env(), *args, *f.result);
        });
}

void BM_StoreAndReadMillionKeys_Dictionary(benchmark::State &state)
{
    storeAndReadBack(
        state, [](cFixture &f) { vtl::globalDictionary.storeValueForKey(*f.key, *f.value); },
        [](cFixture &f) { vtl::globalDictionary.loadValueForKey(*f.key, *f.result); });
}

// One Vantrel_GetGlobal among `bound` keys bound to the calling session's file, the die interval at 1 second. With
// reported = 1 the host sends its closing messages (FileMaker Server); with 0 it does not, and each session checks
// its own bound keys once per interval.
void BM_GetGlobalAmongBoundKeys(benchmark::State &state)
{
    const int bound = static_cast<int>(state.range(0));
    cFixture f;
    vtl::globalDictionary.clean();
    vtl::globalDictionary.setClosingsReported(state.range(1) != 0);
    vtl::gCleanPeriod = vtl::kShortestCleanPeriod;
    fmx::TextUniquePtr optionText;
    optionText->Assign("dieonclose");
    fmx::DataUniquePtr option;
    option->SetAsText(*optionText, *f.locale);
    for (int i = 0; i < bound; ++i)
    {
        f.setKey(i);
        f.setValue(i);
        fmx::DataVectUniquePtr args;
        args->PushBack(*f.keyData);
        args->PushBack(*f.value);
        args->PushBack(*option);
        Vantrel_SetGlobal(23, f.session.Env(), *args, *f.result);
    }
    f.key->Assign("probe");
    f.keyData->SetAsText(*f.key, *f.locale);
    f.setValue(42);
    vtl::globalDictionary.storeValueForKey(*f.key, *f.value);
    fmx::DataVectUniquePtr args;
    args->PushBack(*f.keyData);
    for (auto _ : state)
    {
        f.result->Clear();
        Vantrel_GetGlobal(24, f.session.Env(), *args, *f.result);
    }
    if (f.result->GetAsNumber().AsLong() != 42 || vtl::globalDictionary.size() != static_cast<std::size_t>(bound) + 1)
        state.SkipWithError("the probe did not come back or bound keys went");
    vtl::globalDictionary.clean();
    vtl::globalDictionary.setClosingsReported(false);
    vtl::gCleanPeriod = 60;
}
}

BENCHMARK(BM_GetGlobalAmongBoundKeys)->Args({0, 1})->Args({200000, 1})->Args({0, 0})->Args({200000, 0});
BENCHMARK(BM_StoreAndReadMillionKeys_Dictionary)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreAndReadMillionKeys_ThroughFunctions)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
