// The conversion behind Vantrel_GetAsHTML on long styled texts, with the options given as host texts. It must stay
// linear: doubling the text may at most about double the time. Each conversion's peak memory is counted by the
// operator new of AllocationCounter.h: the bytes the program holds above what it held when the call began,
// the emulator's host texts included.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <limits>
#include <string>

#include "FMHost/Host.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "html/HtmlConversion.h"
#include "../Tests/support/AllocationCounter.h"

namespace
{
constexpr long kMegabyte = 1L << 20;

// One allocation policy for every size. By default glibc hands blocks above a threshold that moves with the
// blocks freed (up to 32 MB) straight back to the system and keeps smaller ones, so one size is measured with
// memory kept from the call before and the next with memory the kernel must clear anew at every touch: a step in
// time (20 ns a character at 2 MB, 55 ns at 4 MB in runs of ten) that is the allocator's, not the conversion's.
// Here every block comes from the heap and freed memory stays with the process, as in a server that has
// served such calls before.
[[maybe_unused]] const bool kOnePolicy = [] {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();

fmx::TextUniquePtr letters(long count)
{
    std::string ascii(static_cast<std::size_t>(count), 'a');
    for (long i = 0; i < count; ++i)
        ascii[static_cast<std::size_t>(i)] = i % 11 == 10 ? ' ' : static_cast<char>('a' + i % 26);
    fmx::TextUniquePtr text;
    text->AssignWithLength(ascii.data(), static_cast<fmx::uint32>(ascii.size()), fmx::Text::kEncoding_UTF8);
    return text;
}

// Runs of `run` characters cycling through six styles: bold, italic, red, 14 pt, underline, blue bold italic.
fmx::TextUniquePtr sixStyles(long count, long run)
{
    fmx::TextUniquePtr text = letters(count);
    fmx::CharacterStyleUniquePtr bold, italic, red, large, underline, blue;
    bold->SetFace(fmx::CharacterStyle::kFace_Bold);
    italic->SetFace(fmx::CharacterStyle::kFace_Italic);
    red->SetColor(*fmx::ColorUniquePtr(255, 0, 0, 255));
    large->SetSize(14);
    underline->SetFace(fmx::CharacterStyle::kFace_Underline);
    blue->SetFace(fmx::CharacterStyle::kFace_Bold | fmx::CharacterStyle::kFace_Italic);
    blue->SetColor(*fmx::ColorUniquePtr(0, 0, 255, 255));
    const fmx::CharacterStyle *styles[] = {bold.get(), italic.get(), red.get(), large.get(), underline.get(), blue.get()};
    for (long at = 0, n = 0; at < count; at += run, ++n)
        text->SetStyle(*styles[n % 6], static_cast<fmx::uint32>(at), static_cast<fmx::uint32>(run));
    return text;
}

fmx::TextUniquePtr sixStyleRuns(long count) { return sixStyles(count, 10); }
fmx::TextUniquePtr sixStylesEveryCharacter(long count) { return sixStyles(count, 1); }

// Every character alternates between 12 and 14 pt.
fmx::TextUniquePtr alternatingSizes(long count)
{
    fmx::TextUniquePtr text = letters(count);
    fmx::CharacterStyleUniquePtr small, large;
    small->SetSize(12);
    large->SetSize(14);
    for (long at = 0; at < count; ++at)
        text->SetStyle(at % 2 ? *large : *small, static_cast<fmx::uint32>(at), 1);
    return text;
}

void run(benchmark::State &state, fmx::TextUniquePtr (*make)(long), const char *tags, const char *classes,
         const char *styles)
{
    FMHost::Session session;
    fmx::DataVectUniquePtr args;
    fmx::LocaleUniquePtr locale;
    auto push = [&](const fmx::Text &text) {
        fmx::DataUniquePtr value;
        value->SetAsText(text, *locale);
        args->PushBack(*value);
    };
    push(*make(state.range(0)));
    for (const char *option : {tags, classes, styles})
    {
        fmx::TextUniquePtr text;
        text->Assign(option);
        push(*text);
    }
    std::size_t outputSize = 0;
    long long peak = 0;
    for (auto _ : state)
    {
        alloccount::cPeak measure;
        {
            fmx::TextUniquePtr out;
            // The largest texts give more HTML than a calculation may (with a new style at every character, 8 MB
            // give about 150 million characters): only a host text's own size limits them here.
            vtl::html::transformRichtextToHTMLWithEvaluate(args->AtAsText(0), args->AtAsText(1), args->AtAsText(2),
                                                           args->AtAsText(3), session.Env(), *out,
                                                           std::numeric_limits<fmx::uint32>::max());
            outputSize = out->GetSize();
            peak = std::max(peak, measure.bytes());
        }
    }
    if (outputSize < static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("the conversion did not produce the whole text");
    const double characters = static_cast<double>(state.range(0));
    state.counters["html_units"] = static_cast<double>(outputSize);
    state.counters["peak_bytes_per_char"] = static_cast<double>(peak) / characters;
    // The result text itself is part of the peak: UTF-16, two bytes a unit.
    state.counters["peak_per_output_byte"] = static_cast<double>(peak) / (2.0 * static_cast<double>(outputSize));
}

// A variable of `lines` lines in groups of three: a bold centred line, a red right-aligned line and a plain one
// with the layout's alignment, so paragraphs change at every line and each line asks the host for its alignment.
void setVariable(FMHost::Session &session, long lines)
{
    std::string calculation = "Let ( $html_lines = List ( ";
    for (long n = 0; n < lines; ++n)
    {
        const std::string words = "\"line " + std::to_string(n) + " of the variable\"";
        if (n > 0)
            calculation += " ; ";
        switch (n % 3)
        {
        case 0: calculation += "EmulatorTextAlign ( TextStyleAdd ( " + words + " ; Bold ) ; \"center\" )"; break;
        case 1: calculation += "EmulatorTextAlign ( TextColor ( " + words + " ; RGB ( 255 ; 0 ; 0 ) ) ; \"right\" )"; break;
        default: calculation += words;
        }
    }
    calculation += " ) ; 1 )";
    session.Evaluate(calculation);
}

// The same lines joined by line separators: every line is a paragraph of its own, whose alignment only the line
// itself shows.
void setLineSeparatedVariable(FMHost::Session &session, long lines)
{
    setVariable(session, lines);
    session.Evaluate("Let ( $html_lines = Substitute ( $html_lines ; Char ( 13 ) ; Char ( 8232 ) ) ; 1 )");
}

void convertVariable(benchmark::State &state, void (*fill)(FMHost::Session &, long))
{
    FMHost::Session session;
    fill(session, state.range(0));
    fmx::TextUniquePtr source, tags, classes, styles;
    source->Assign("$html_lines");
    tags->Assign("all");
    classes->Assign("all=vtl");
    styles->Assign("all");
    std::size_t outputSize = 0;
    for (auto _ : state)
    {
        fmx::TextUniquePtr out;
        vtl::html::transformRichtextToHTMLWithEvaluate(*source, *tags, *classes, *styles, session.Env(), *out);
        outputSize = out->GetSize();
    }
    if (outputSize < static_cast<std::size_t>(state.range(0)) * 20)
        state.SkipWithError("the conversion did not produce every line");
    state.counters["html_units"] = static_cast<double>(outputSize);
}

void VariableLines(benchmark::State &state)
{
    convertVariable(state, setVariable);
}

void VariableLineSeparatedLines(benchmark::State &state)
{
    convertVariable(state, setLineSeparatedVariable);
}

void SixStyleRuns(benchmark::State &state)
{
    run(state, sixStyleRuns, "all", "all=vtl", "all");
}

void SixStylesEveryCharacter(benchmark::State &state)
{
    run(state, sixStylesEveryCharacter, "all", "all=vtl", "all");
}

// Sizes are dropped (no class, style option "bold"), so the whole text is one long run of equal fragments.
void AlternatingSizesStyleBold(benchmark::State &state)
{
    run(state, alternatingSizes, "all", "", "bold");
}
} // namespace

// One conversion per repetition; the medians of each size and the next give the doubling ratios.
#define ONE_CONVERSION_PER_REPETITION(name, repetitions)                                                              \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(repetitions)->ReportAggregatesOnly(true)
#define HTML_SIZES(name) ONE_CONVERSION_PER_REPETITION(name, 5)->Arg(kMegabyte)->Arg(2 * kMegabyte)
#define HTML_SIZES_TO_8MB(name) HTML_SIZES(name)->Arg(4 * kMegabyte)->Arg(8 * kMegabyte)
HTML_SIZES_TO_8MB(SixStyleRuns);
HTML_SIZES_TO_8MB(SixStylesEveryCharacter);
HTML_SIZES(AlternatingSizesStyleBold);
// Variable mode: 32k and 64k lines give the doubling ratio. The 64k working set no longer fits the second-level
// cache while the 32k one nearly does, so single conversions vary more; nine give a steadier median.
#define VARIABLE_LINES(name) ONE_CONVERSION_PER_REPETITION(name, 9)->Arg(1 << 15)->Arg(1 << 16)
VARIABLE_LINES(VariableLines);
VARIABLE_LINES(VariableLineSeparatedLines);

BENCHMARK_MAIN();
