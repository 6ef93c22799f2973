// Cost of the SDK calls a plug-in makes on every call, and of the emulator's direct call of a registered function.
#include <benchmark/benchmark.h>

#include "FMHost/Host.h"

using namespace fmx;

namespace {

errcode Trivial(short, const ExprEnv &, const DataVect &, Data &) { return 0; }

void TextAssign(benchmark::State &state)
{
    TextUniquePtr t;
    for (auto _ : state)
        t->Assign("Get ( FileName )");
    benchmark::DoNotOptimize(t->GetSize());
}
BENCHMARK(TextAssign);

void TextGetSize(benchmark::State &state)
{
    TextUniquePtr t;
    t->Assign("Get ( FileName )");
    for (auto _ : state)
        benchmark::DoNotOptimize(t->GetSize());
}
BENCHMARK(TextGetSize);

// Runs `read` on a prepared text into a buffer that the optimiser must keep.
template <class Unit, class Read> void ReadText(benchmark::State &state, const char *utf8, Read &&read)
{
    TextUniquePtr t;
    t->Assign(utf8, Text::kEncoding_UTF8);
    Unit buffer[64];
    for (auto _ : state)
    {
        read(*t, buffer, sizeof buffer / sizeof buffer[0]);
        benchmark::DoNotOptimize(buffer);
    }
}

void TextGetUnicode(benchmark::State &state)
{
    ReadText<uint16>(state, "Vantrel_GetPrinterNames",
                     [](const Text &t, uint16 *buffer, uint32) { t.GetUnicode(buffer, 0, t.GetSize()); });
}
BENCHMARK(TextGetUnicode);

void TextGetBytesUtf8(benchmark::State &state)
{
    ReadText<char>(state, "Vantrel_GetPrinterNames é", [](const Text &t, char *buffer, uint32 size) {
        t.GetBytes(buffer, size, 0, Text::kSize_End, Text::kEncoding_UTF8);
    });
}
BENCHMARK(TextGetBytesUtf8);

void DataSetAsText(benchmark::State &state)
{
    TextUniquePtr t;
    t->Assign("Linux doesn't support this function.");
    DataUniquePtr d;
    for (auto _ : state)
        d->SetAsText(*t, d->GetLocale());
    benchmark::DoNotOptimize(d->IsEmpty());
}
BENCHMARK(DataSetAsText);

void DataSetAsNumber(benchmark::State &state)
{
    DataUniquePtr d;
    for (auto _ : state)
    {
        FixPtUniquePtr n(-4);
        d->SetAsNumber(*n);
    }
    benchmark::DoNotOptimize(d->IsEmpty());
}
BENCHMARK(DataSetAsNumber);

void NumberTextForm(benchmark::State &state)
{
    DataUniquePtr d;
    FixPtUniquePtr n;
    n->AssignDouble(63900000000.123456);
    for (auto _ : state)
    {
        d->SetAsNumber(*n);
        benchmark::DoNotOptimize(d->GetAsText().GetSize());
    }
}
BENCHMARK(NumberTextForm);

// The emulator calling a registered function with prepared arguments (argument check, environment, call).
void DirectCall(benchmark::State &state)
{
    QuadCharUniquePtr id('B', 'E', 'N', 'C');
    TextUniquePtr name;
    name->Assign("Bench_Trivial");
    ExprEnv::RegisterExternalFunction(*id, 1, *name, *name, 0, 1, 0, Trivial);
    FMHost::Session session;
    const auto function = FMHost::Function::Find("Bench_Trivial");
    DataVectUniquePtr args;
    DataUniquePtr result;
    for (auto _ : state)
        benchmark::DoNotOptimize(session.Call(function, *args, *result));
    ExprEnv::UnRegisterExternalFunction(*id, 1);
}
BENCHMARK(DirectCall);

// The SDK's Evaluate of a text the plug-in sends on every call (parsed once per session).
void EvaluateCachedText(benchmark::State &state)
{
    FMHost::Session session;
    session.OpenFile("Bench");
    TextUniquePtr calc;
    calc->Assign("Get ( FileName )");
    DataUniquePtr result;
    for (auto _ : state)
        benchmark::DoNotOptimize(session.Env().Evaluate(*calc, *result));
}
BENCHMARK(EvaluateCachedText);

} // namespace

BENCHMARK_MAIN();
