// Sorting a list of 1,000,000 numbers through Vantrel_Get ( "sort" ; list ), against GNU sort -g on the same numbers
// (one per line, in a file, C locale), timed in the same run. Target: Vantrel is faster than sort -g.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTypes.h"
#include "functions/Selectors.h"

extern char **environ;

namespace
{
constexpr int kNumbers = 1000000;
constexpr int kRounds = 5;

// Integers, decimals, negatives and a few exponents, as lists in FileMaker tend to hold them.
std::vector<std::string> makeNumbers()
{
    std::mt19937_64 random(20261208);
    std::vector<std::string> numbers;
    numbers.reserve(kNumbers);
    char buffer[64];
    for (int i = 0; i < kNumbers; ++i)
    {
        const long whole = static_cast<long>(random() % 2000000001) - 1000000000;
        switch (random() % 4)
        {
        case 0:
            std::snprintf(buffer, sizeof buffer, "%ld", whole);
            break;
        case 1:
            std::snprintf(buffer, sizeof buffer, "%ld.%02u", whole / 1000, static_cast<unsigned>(random() % 100));
            break;
        case 2:
            std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(whole) / 1e7);
            break;
        default:
            std::snprintf(buffer, sizeof buffer, "%.3e", static_cast<double>(whole) * 1e-3);
            break;
        }
        numbers.emplace_back(buffer);
    }
    return numbers;
}

std::string join(const std::vector<std::string> &numbers, char separator)
{
    std::string joined;
    for (const std::string &number : numbers)
    {
        joined += number;
        joined += separator;
    }
    return joined;
}

struct cFixture
{
    FMHost::Session session;
    fmx::DataVectUniquePtr args;
    std::string sortInput;

    cFixture()
    {
        std::ofstream(BENCH_ALLOWLIST_PATH, std::ios::trunc) << "Bench\tany\n";
        session.OpenFile("Bench");
        const std::vector<std::string> numbers = makeNumbers();
        fmx::LocaleUniquePtr locale;
        fmx::TextUniquePtr selectorText, listText;
        selectorText->Assign("sort");
        const std::string list = join(numbers, '\r');
        listText->AssignWithLength(list.data(), static_cast<fmx::uint32>(list.size()), fmx::Text::kEncoding_UTF8);
        fmx::DataUniquePtr selector, listData;
        selector->SetAsText(*selectorText, *locale);
        listData->SetAsText(*listText, *locale);
        args->PushBack(*selector);
        args->PushBack(*listData);

        char path[] = "/tmp/vantrel-sort-XXXXXX";
        const int fd = mkstemp(path);
        const std::string lines = join(numbers, '\n');
        if (fd < 0 || write(fd, lines.data(), lines.size()) != static_cast<ssize_t>(lines.size()))
            std::perror("sort input");
        close(fd);
        sortInput = path;
    }
    ~cFixture() { unlink(sortInput.c_str()); }

    // Seconds for one sort through the plug-in; false when the result is not the sorted list.
    bool sortWithVantrel(double &seconds)
    {
        fmx::DataUniquePtr result;
        const auto start = std::chrono::steady_clock::now();
        const fmx::errcode error = Vantrel_Get(2, session.Env(), *args, *result);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string text = FMHost::TextOf(*result);
        return error == 0 && std::count(text.begin(), text.end(), '\r') == kNumbers;
    }

    // Seconds for `sort -g` on the same numbers (C locale, output discarded); false when it did not run.
    bool sortWithGnuSort(double &seconds)
    {
        const char *argv[] = {"sort", "-g", sortInput.c_str(), "-o", "/dev/null", nullptr};
        std::vector<char *> env;
        std::string cLocale = "LC_ALL=C";
        env.push_back(cLocale.data());
        for (char **e = environ; *e; ++e)
            if (std::string(*e).rfind("LC_", 0) != 0 && std::string(*e).rfind("LANG", 0) != 0)
                env.push_back(*e);
        env.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid;
        if (posix_spawnp(&pid, "sort", nullptr, nullptr, const_cast<char **>(argv), env.data()) != 0)
            return false;
        int status = 0;
        waitpid(pid, &status, 0);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_SortMillionNumbers_VantrelVersusSortG(benchmark::State &state)
{
    cFixture f;
    std::vector<double> vantrel, gnu;
    for (auto _ : state)
    {
        double seconds = 0;
        if (!f.sortWithVantrel(seconds))
            state.SkipWithError("Vantrel_Get sort gave a wrong result");
        vantrel.push_back(seconds);
        state.SetIterationTime(seconds);
        if (!f.sortWithGnuSort(seconds))
            state.SkipWithError("sort -g did not run");
        gnu.push_back(seconds);
    }
    state.counters["vantrel_median_ms"] = median(vantrel) * 1e3;
    state.counters["sort_g_median_ms"] = median(gnu) * 1e3;
    state.counters["sort_g_over_vantrel"] = median(gnu) / median(vantrel);
}
}

// The reported time is the plug-in's; the counters hold both medians and their ratio.
BENCHMARK(BM_SortMillionNumbers_VantrelVersusSortG)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
