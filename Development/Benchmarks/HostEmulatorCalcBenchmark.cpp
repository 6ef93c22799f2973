// Cost of the calculations a plug-in sends its host on every call (parsed once, then served from the session's
// cache), of a plug-in function called from a calculation, and of parsing a text seen for the first time.
// Text and value-list functions on long texts, against Length of the same text: all of them should grow
// linearly with the text.
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
// A value list of `lines` lines of about 30 characters in $$text, then the calculation evaluated repeatedly.
void onLongText(benchmark::State &state, const std::string &calculation)
{
    FMHost::Session session;
    const auto lines = state.range(0);
    std::string list;
    for (long i = 0; i < lines; ++i)
        list += (i ? "\xC2\xB6" : "") + std::string("line number ") + std::to_string(i) + " of the list, ok";
    session.Evaluate("Let ( $$text = \"" + list + "\" ; 1 )");
    TextUniquePtr text;
    text->Assign(calculation.c_str());
    DataUniquePtr result;
    if (session.Env().Evaluate(*text, *result) != 0)
        state.SkipWithError("the calculation failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(session.Env().Evaluate(*text, *result));
    state.SetComplexityN(lines);
}

void TextLength(benchmark::State &state) { onLongText(state, "Length ( $$text )"); }
void TextGetValueMiddle(benchmark::State &state) { onLongText(state, "GetValue ( $$text ; ValueCount ( $$text ) / 2 )"); }
void TextSubstitute(benchmark::State &state) { onLongText(state, "Length ( Substitute ( $$text ; \"line\" ; \"row\" ) )"); }
void TextPatternCount(benchmark::State &state) { onLongText(state, "PatternCount ( $$text ; \"OK\" )"); }
void TextMiddleValues(benchmark::State &state) { onLongText(state, "Length ( MiddleValues ( $$text ; 2 ; 1000000 ) )"); }
void TextWordCount(benchmark::State &state) { onLongText(state, "WordCount ( $$text )"); }
void TextRightWords(benchmark::State &state) { onLongText(state, "Length ( RightWords ( $$text ; 3 ) )"); }
void TextSortValues(benchmark::State &state) { onLongText(state, "Length ( SortValues ( $$text ) )"); }
BENCHMARK(TextLength)->Range(1000, 100000)->Complexity();
BENCHMARK(TextGetValueMiddle)->Range(1000, 100000)->Complexity();
BENCHMARK(TextSubstitute)->Range(1000, 100000)->Complexity();
BENCHMARK(TextPatternCount)->Range(1000, 100000)->Complexity();
BENCHMARK(TextMiddleValues)->Range(1000, 100000)->Complexity();
BENCHMARK(TextWordCount)->Range(1000, 100000)->Complexity();
BENCHMARK(TextRightWords)->Range(1000, 100000)->Complexity();
BENCHMARK(TextSortValues)->Range(1000, 100000)->Complexity();
} // namespace

BENCHMARK_MAIN();
