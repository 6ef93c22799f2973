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

void TextGetUnicode(benchmark::State &state)
{
    TextUniquePtr t;
    t->Assign("Vantrel_GetPrinterNames");
    uint16 buffer[64];
    for (auto _ : state)
    {
        t->GetUnicode(buffer, 0, t->GetSize());
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(TextGetUnicode);

void TextGetBytesUtf8(benchmark::State &state)
{
    TextUniquePtr t;
    t->Assign("Vantrel_GetPrinterNames é");
    char buffer[64];
    for (auto _ : state)
    {
        t->GetBytes(buffer, sizeof buffer, 0, Text::kSize_End, Text::kEncoding_UTF8);
        benchmark::DoNotOptimize(buffer);
    }
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

} // namespace

BENCHMARK_MAIN();
