// Cost of the calculations a plug-in sends its host on every call (parsed once, then served from the session's
// cache), of a plug-in function called from a calculation, and of parsing a text seen for the first time.
#include <benchmark/benchmark.h>

#include "FMHost/Host.h"

#include <string>

using namespace fmx;

namespace
{
errcode Trivial(short, const ExprEnv &, const DataVect &, Data &) { return 0; }

void evaluateRepeatedly(benchmark::State &state, const char *calculation)
{
    FMHost::Session session;
    session.OpenFile("Invoices");
    TextUniquePtr text;
    text->Assign(calculation);
    DataUniquePtr result;
    if (session.Env().Evaluate(*text, *result) != 0)
        state.SkipWithError("the calculation failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(session.Env().Evaluate(*text, *result));
}

void EvaluateGetFileName(benchmark::State &state) { evaluateRepeatedly(state, "Get( fileName )"); }
BENCHMARK(EvaluateGetFileName);

void EvaluateLastErrorLet(benchmark::State &state)
{
    evaluateRepeatedly(state, "Let ( [ $$Vantrel_LastError = -50 ; $$Vantrel_LastErrorMessage = "
                              "\"Unrecognized selector\" ] ; \"\" )");
}
BENCHMARK(EvaluateLastErrorLet);

void EvaluateLastErrorRead(benchmark::State &state)
{
    evaluateRepeatedly(state, "If( IsEmpty( $$Vantrel_LastErrorMessage ); \"No Error Message\"; "
                              "$$Vantrel_LastErrorMessage )");
}
BENCHMARK(EvaluateLastErrorRead);

void EvaluatePluginFunction(benchmark::State &state)
{
    QuadCharUniquePtr id('B', 'N', 'C', 'H');
    TextUniquePtr name;
    name->Assign("Bench_Trivial");
    ExprEnv::RegisterExternalFunction(*id, 1, *name, *name, 0, -1, 0xFF01, &Trivial);
    evaluateRepeatedly(state, "Bench_Trivial ( 1 ; \"two\" )");
    ExprEnv::UnRegisterExternalFunction(*id, 1);
}
BENCHMARK(EvaluatePluginFunction);

void ParseAndEvaluateNewText(benchmark::State &state)
{
    FMHost::Session session;
    TextUniquePtr text;
    DataUniquePtr result;
    long counter = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        text->Assign(("Let ( [ a = " + std::to_string(++counter) + " ; $$b = a * 2 ] ; If ( a > 1 ; "
                      "List ( a ; $$b ) ; \"small\" ) )").c_str());
        state.ResumeTiming();
        benchmark::DoNotOptimize(session.Env().Evaluate(*text, *result));
    }
}
BENCHMARK(ParseAndEvaluateNewText);
} // namespace

BENCHMARK_MAIN();
