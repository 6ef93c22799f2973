// What one external-function call costs in the host emulator: the bare call of a registered function from a parsed
// (cached) calculation, and one whole evaluation of Vantrel_GetPrinterNames (which also records its last error).
#include <benchmark/benchmark.h>

#include "FMHost/Host.h"
#include "../Tests/support/PluginTestSupport.h"

namespace
{
fmx::errcode Nothing(short, const fmx::ExprEnv &, const fmx::DataVect &, fmx::Data &)
{
    return 0;
}

struct cBench
{
    cBench()
    {
        fmx::QuadCharUniquePtr id('B', 'N', 'C', 'H');
        fmx::TextUniquePtr name;
        name->Assign("Bench_Nothing");
        fmx::ExprEnv::RegisterExternalFunction(*id, 1, *name, *name, 0, -1, 0xFF01, Nothing);
        session.OpenFile("Invoices");
    }
    plugintest::cLoadedPlugIn plugin;
    FMHost::Session session;
};

cBench &Bench()
{
    static cBench bench;
    return bench;
}

void Evaluate(benchmark::State &state, const char *calculation)
{
    cBench &bench = Bench();
    if (bench.session.Evaluate(calculation).error != 0)
        state.SkipWithError("the calculation does not evaluate");
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.session.Evaluate(calculation));
}

// The reference: evaluating a parsed literal, no plug-in involved.
void BM_EvaluateLiteral(benchmark::State &state)
{
    Evaluate(state, "1");
}
// Minus the reference: what the emulator adds for calling a registered function that does nothing.
void BM_EvaluateEmptyExternalFunction(benchmark::State &state)
{
    Evaluate(state, "Bench_Nothing");
}
// One whole evaluation of a plug-in function: the call, its last-error Let evaluation, its number result.
void BM_EvaluateGetPrinterNames(benchmark::State &state)
{
    Evaluate(state, "Vantrel_GetPrinterNames");
}
// The same function through the emulator's direct call path (no calculation around it).
void BM_DirectCallGetPrinterNames(benchmark::State &state)
{
    cBench &bench = Bench();
    FMHost::Function function = FMHost::Function::Find("Vantrel_GetPrinterNames");
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.session.Call(function, *args, *result));
}
}

BENCHMARK(BM_EvaluateLiteral);
BENCHMARK(BM_EvaluateEmptyExternalFunction);
BENCHMARK(BM_EvaluateGetPrinterNames);
BENCHMARK(BM_DirectCallGetPrinterNames);
BENCHMARK_MAIN();
