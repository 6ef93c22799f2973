// Vantrel_ExecuteSQL against the sqlite3 command line on the same 200,000-row, 5-column query, both writing the
// whole result to a file, and end to end: fmhost evaluating the query's length, less an fmhost run that evaluates
// a constant. Targets: ours at most 2 times as long in both; the memory one call takes at its peak at most 4 times
// the size of the result's text. Run: build/SqlBenchmark (needs sqlite3 on the PATH).
#include <benchmark/benchmark.h>

#include "FMHost/Host.h"
#include "FMWrapper/FMXExtern.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kRows = 200000;
const std::string kQuery = "SELECT id, amount, name, code, note FROM items ORDER BY id";

std::string Scratch(const char *name) { return "/tmp/vantrel-sqlbench-" + std::to_string(::getpid()) + "-" + name; }

const std::string &Database()
{
    static const std::string path = [] {
        const std::string db = Scratch("items.sqlite");
        std::remove(db.c_str());
        // Integers, reals (a quarter of them without a short decimal form), short texts and NULLs (every third note).
        const std::string sql =
            "CREATE TABLE items (id INTEGER PRIMARY KEY, amount REAL, name TEXT, code TEXT, note TEXT);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kRows) + ") "
            "INSERT INTO items SELECT i, CASE WHEN i % 4 = 0 THEN i / 7.0 ELSE i * 1.25 + 0.5 END, "
            "'customer ' || i, printf('C%06d', i % 997), "
            "CASE WHEN i % 3 = 0 THEN NULL ELSE 'note ' || (i % 101) END FROM n;";
        const std::string command = "sqlite3 '" + db + "' \"" + sql + "\"";
        if (std::system(command.c_str()) != 0)
        {
            std::fprintf(stderr, "cannot build %s with the sqlite3 command line\n", db.c_str());
            std::exit(2);
        }
        return db;
    }();
    return path;
}

// Wall-clock and CPU seconds of each run: the machine may be shared, and CPU time is what load does not inflate.
struct cSample
{
    std::vector<double> seconds, cpuSeconds;
    long peakKiB = 0;
};
cSample gOurs, gCli, gFmhost, gFmhostBaseline;

// The process's resident memory (VmRSS) or its peak since the last reset (VmHWM), in KiB.
long StatusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol(line.c_str() + length + 1);
    return 0;
}

// Starts a new peak: the kernel then counts VmHWM from the present resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Times one run of work into sample.
template <class Work> void Measure(cSample &sample, int who, Work &&work)
{
    const double cpu = CpuSeconds(who);
    const auto start = std::chrono::steady_clock::now();
    work();
    sample.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    sample.cpuSeconds.push_back(CpuSeconds(who) - cpu);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The CPU time of this repetition's run, for the JSON output (Google Benchmark's own CPU time misses the child).
void ReportCpu(benchmark::State &state, const cSample &sample)
{
    if (!sample.cpuSeconds.empty())
        state.counters["cpu_ms"] = sample.cpuSeconds.back() * 1e3;
}

// The plug-in registered in this process, with a session whose calling file is backed by the database.
struct cHost
{
    cHost()
    {
        std::ofstream(BENCH_ALLOWLIST_PATH) << "Items\tVantrel_ExecuteSQL\n";
        FMX_ExternCallStruct record;
        std::memset(&record, 0, sizeof record);
        static const fmx::unichar16 appVersion[] = {u'B', u'e', u'n', u'c', u'h', 0};
        record.extnVersion = 71;
        record.whichCall = kFMXT_Init;
        record.parm2 = reinterpret_cast<FMX_PtrType>(appVersion);
        FMExternCallProc(&record);
        session.OpenFile("Items", Database());
        function = FMHost::Function::Find("Vantrel_ExecuteSQL");
    }
    FMHost::Session session;
    FMHost::Function function;
};

// The host, and the query as the argument vector of a call; null (and the benchmark skipped) when the function is
// not registered.
cHost *Host(benchmark::State &state)
{
    static cHost host;
    if (!host.function)
    {
        state.SkipWithError("Vantrel_ExecuteSQL is not registered");
        return nullptr;
    }
    return &host;
}

const fmx::DataVect &QueryArguments()
{
    static const fmx::DataVectUniquePtr args = [] {
        fmx::DataVectUniquePtr vector;
        fmx::LocaleUniquePtr locale;
        fmx::TextUniquePtr query;
        query->Assign(kQuery.c_str(), fmx::Text::kEncoding_UTF8);
        fmx::DataUniquePtr argument;
        argument->SetAsText(*query, *locale);
        vector->PushBack(*argument);
        return vector;
    }();
    return *args;
}

void OursExecuteSQL(benchmark::State &state)
{
    cHost *host = Host(state);
    if (host == nullptr)
        return;
    const fmx::DataVect &args = QueryArguments();
    const std::string out = Scratch("ours.txt");
    std::size_t size = 0;
    for (auto _ : state)
    {
        Measure(gOurs, RUSAGE_SELF, [&] {
            fmx::DataUniquePtr result;
            host->session.Call(host->function, args, *result);
            // Written as UTF-8, as the command line writes it.
            const fmx::Text &text = result->GetAsText();
            const std::size_t capacity = static_cast<std::size_t>(text.GetSize()) * 3 + 1;
            const std::unique_ptr<char[]> bytes(new char[capacity]);
            size = text.GetBytesEx(bytes.get(), static_cast<fmx::uint32>(capacity), 0, fmx::Text::kSize_End,
                                   fmx::Text::kEncoding_UTF8);
            FILE *file = std::fopen(out.c_str(), "wb");
            std::fwrite(bytes.get(), 1, size, file);
            std::fclose(file);
        });
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    gOurs.peakKiB = usage.ru_maxrss;
    ReportCpu(state, gOurs);
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["peak_MiB"] = usage.ru_maxrss / 1024.0;
    std::remove(out.c_str());
}

void Sqlite3CommandLine(benchmark::State &state)
{
    const std::string out = Scratch("cli.txt");
    // TAB between values and CR between rows, as Vantrel_ExecuteSQL's defaults.
    const std::string command =
        "sqlite3 -batch -separator \"$(printf '\\t')\" -newline \"$(printf '\\r')\" '" + Database() + "' '" + kQuery +
        "' > '" + out + "'";
    for (auto _ : state)
    {
        Measure(gCli, RUSAGE_CHILDREN, [&] {
            if (std::system(command.c_str()) != 0)
                state.SkipWithError("sqlite3 failed");
        });
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    gCli.peakKiB = usage.ru_maxrss;
    ReportCpu(state, gCli);
    std::ifstream written(out, std::ios::binary | std::ios::ate);
    state.counters["bytes"] = static_cast<double>(written.tellg());
    state.counters["peak_MiB"] = usage.ru_maxrss / 1024.0;
    std::remove(out.c_str());
}

// The memory one call holds at its peak, against the size of its result's text. Runs last: the fixed threshold it
// sets keeps every large block mapped and unmapped with its owner (glibc's moving threshold would leave one run's
// freed blocks in the heap, and the next run's peak would depend on them), and would slow the timed runs.
void OursExecuteSQLPeakMemory(benchmark::State &state)
{
    cHost *host = Host(state);
    if (host == nullptr)
        return;
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    long peakKiB = 0;
    double textMiB = 0;
    for (auto _ : state)
    {
        fmx::DataUniquePtr result;
        // Free heap memory of earlier runs would be reused unseen: it goes back to the system first.
        malloc_trim(0);
        const long before = StatusKiB("VmRSS");
        ResetPeak();
        host->session.Call(host->function, QueryArguments(), *result);
        peakKiB = std::max(peakKiB, StatusKiB("VmHWM") - before);
        textMiB = result->GetAsText().GetSize() * 2.0 / (1 << 20);
    }
    state.counters["call_peak_MiB"] = peakKiB / 1024.0;
    state.counters["text_MiB"] = textMiB;  // the result as the host holds it: UTF-16
}

// fmhost evaluating `calc` on the database, as a FileMaker developer would try the query.
void Fmhost(benchmark::State &state, cSample &sample, const std::string &calc)
{
    std::ofstream(SANDBOX_ALLOWLIST_PATH) << "Items\tVantrel_ExecuteSQL\n";
    const std::string command = std::string("'") + FMHOST_PATH + "' --plugin '" + SANDBOX_PLUGIN_PATH +
                                "' --file 'Items=" + Database() + "' -e '" + calc + "' > /dev/null";
    for (auto _ : state)
    {
        Measure(sample, RUSAGE_CHILDREN, [&] {
            if (std::system(command.c_str()) != 0)
                state.SkipWithError("fmhost failed");
        });
    }
    ReportCpu(state, sample);
}

void FmhostExecuteSQL(benchmark::State &state)
{
    Fmhost(state, gFmhost, "Length ( Vantrel_ExecuteSQL ( \"" + kQuery + "\" ) )");
}

void FmhostConstant(benchmark::State &state) { Fmhost(state, gFmhostBaseline, "Length ( \"x\" )"); }

// The command line runs first, while this process is still small: a child's peak memory counts what it inherited.
BENCHMARK(Sqlite3CommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(OursExecuteSQL)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(FmhostConstant)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(FmhostExecuteSQL)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(OursExecuteSQLPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
}

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Database();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double ours = Median(gOurs.seconds), cli = Median(gCli.seconds);
    const double oursCpu = Median(gOurs.cpuSeconds), cliCpu = Median(gCli.cpuSeconds);
    if (ours > 0 && cli > 0 && oursCpu > 0 && cliCpu > 0)
        std::printf("\n%d rows x 5 columns, medians of %zu runs (target: ratio <= 2)\n"
                    "  wall: Vantrel_ExecuteSQL %.1f ms, sqlite3 %.1f ms, ratio %.2f\n"
                    "  CPU:  Vantrel_ExecuteSQL %.1f ms, sqlite3 %.1f ms, ratio %.2f\n"
                    "  peak memory: this process %.0f MiB, sqlite3 %.0f MiB\n",
                    kRows, gOurs.seconds.size(), ours * 1e3, cli * 1e3, ours / cli, oursCpu * 1e3, cliCpu * 1e3,
                    oursCpu / cliCpu, gOurs.peakKiB / 1024.0, gCli.peakKiB / 1024.0);
    const double fmhost = Median(gFmhost.cpuSeconds) - Median(gFmhostBaseline.cpuSeconds);
    if (fmhost > 0 && cliCpu > 0)
        std::printf("  end to end (CPU): fmhost %.1f ms above a constant, sqlite3 %.1f ms, ratio %.2f\n", fmhost * 1e3,
                    cliCpu * 1e3, fmhost / cliCpu);
    std::remove(Database().c_str());
    return 0;
}
