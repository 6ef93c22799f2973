#!/usr/bin/env python3
"""Turns the JSON output of the benchmark programs into one table: figure, ours, reference, ratio, target, met.

Each program has one small adapter below that picks its rows out of its JSON; a program without an adapter still
gets one row per benchmark (median CPU time, no target). Called by Development/Benchmarks/run.
"""
import argparse
import datetime
import json
import os
import platform
import statistics
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


class cResults:
    """The runs of one program, looked up by run name; values are medians over the repetitions."""

    def __init__(self, path):
        with open(path) as f:
            self.data = json.load(f)
        self.runs = {}
        self.medians = {}
        for run in self.data.get("benchmarks", []):
            if run.get("error_occurred"):
                raise LookupError("%s: %s" % (run["name"], run.get("error_message", "error")))
            key = self.plain(run.get("run_name", run["name"]))
            if run.get("run_type") == "aggregate":
                if run.get("aggregate_name") == "median":
                    self.medians[key] = run
            else:
                self.runs.setdefault(key, []).append(run)

    @staticmethod
    def plain(name):
        """The run name without the settings Google Benchmark appends (iterations:1, repeats:5, real_time...)."""
        settings = ("iterations:", "repeats:", "min_time:", "real_time", "manual_time", "process_time")
        return "/".join(part for part in name.split("/") if not part.startswith(settings))

    def names(self):
        return list(dict.fromkeys(list(self.runs) + list(self.medians)))

    def value(self, name, field, how="median"):
        """A field of a run (times in ns), the median of its repetitions or their maximum."""
        runs = self.runs.get(name, [])
        if how == "max" and runs:
            return max(self._field(run, field) for run in runs)
        if name in self.medians:
            return self._field(self.medians[name], field)
        if runs:
            return statistics.median(self._field(run, field) for run in runs)
        raise LookupError("no run %s" % name)

    def cpu(self, name):
        return self.value(name, "cpu_time")

    def real(self, name):
        return self.value(name, "real_time")

    def repetitions(self, name):
        return len(self.runs.get(name, [])) or int(self.medians[name].get("repetitions", 1))

    @staticmethod
    def _field(run, field):
        if field not in run:
            raise LookupError("no %s in %s" % (field, run["name"]))
        value = float(run[field])
        return value * UNIT_NS[run.get("time_unit", "ns")] if field in ("cpu_time", "real_time") else value


def duration(ns):
    for unit, size in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= size:
            return "%.3g %s" % (ns / size, unit)
    return "%.3g ns" % ns


def row(figure, ours, reference="—", ratio=None, target="report", met=None):
    return {"figure": figure, "ours": ours, "reference": reference,
            "ratio": "—" if ratio is None else "%.2f×" % ratio, "target": target,
            "met": "—" if met is None else ("yes" if met else "**NO**")}


# --- one adapter per program: results -> rows ---------------------------------------------------------------

def frame(r):
    literal = r.cpu("BM_EvaluateLiteral")
    empty = r.cpu("BM_EvaluateEmptyExternalFunction")
    full = r.cpu("BM_EvaluateGetPrinterNames")
    return [
        row("Frame: one external-function call from a parsed calculation (empty function minus literal)",
            duration(empty - literal), "literal `1`: " + duration(literal)),
        row("Frame: one full Evaluate of `Vantrel_GetPrinterNames`", duration(full),
            "literal `1`: " + duration(literal), full / literal),
        row("Frame: `Vantrel_GetPrinterNames` through the direct call path", duration(r.cpu("BM_DirectCallGetPrinterNames"))),
    ]


def allow_list(r):
    # The parsed file is kept while it does not change: an allowed call costs a stat of the file plus the function's
    # own work (BM_VersionWork: the same answer through the same call path, no allow-list check).
    stat, work = r.cpu("BM_Stat/10/1"), r.cpu("BM_VersionWork")
    rows = []
    for lines, first in ((10, 1), (10, 0), (100, 0), (1000, 0), (10000, 0)):
        name = "/%d/%d" % (lines, first)
        ours, read = r.cpu("BM_AllowedVersionCall" + name), r.cpu("BM_OpenReadClose" + name)
        place = "first" if first else "last"
        if lines == 10:
            label = ("Allow-list: allowed `Vantrel_Version` call, caller %s of 10 lines" % place)
            rows.append(row(label, duration(ours), "stat %s + own work %s" % (duration(stat), duration(work)),
                            ours / (stat + work), "≤ 1.5×", ours / (stat + work) <= 1.5))
            # The same ratio with both sides timed in alternating blocks: steadier when the machine's speed drifts.
            blocks = r.value("BM_AllowedCallRatio" + name, "ratio")
            rows.append(row("Allow-list: the same, caller %s, both sides timed in alternating blocks" % place,
                            "median block", "stat + own work, timed alternately", blocks, "≤ 1.5×", blocks <= 1.5))
            if not first:
                # Sessions on their own threads at once: wall-clock time per call of all of them together.
                alone = r.real("BM_AllowedVersionCallSessions/10/0/threads:1")
                for threads in (2, 4):
                    together = r.real("BM_AllowedVersionCallSessions/10/0/threads:%d" % threads)
                    rows.append(row("Allow-list: the same from %d sessions at once, per call (wall)" % threads,
                                    duration(together), "one session: " + duration(alone), together / alone))
        else:
            size = format(int(r.value("BM_AllowedVersionCall" + name, "bytes")), ",")
            rows.append(row("Allow-list: the same, caller %s of %s lines (%s bytes)" % (place, format(lines, ","), size),
                            duration(ours), "open+read+close: " + duration(read), ours / read))
    # A refused call tells the journal (which lets one line a minute through) or, with log=off, nothing.
    on, off = r.cpu("BM_RefusedCall/1"), r.cpu("BM_RefusedCall/0")
    rows.append(row("Allow-list: refused call with the journal on (one line a minute, the rest counted)",
                    duration(on), "`log=off`: " + duration(off), on / off, "≤ 1.10×", on / off <= 1.10))
    held = r.cpu("BM_JournalLineHeldBack")
    rows.append(row("Allow-list: what the journal adds to a refused call (a line held back), timed alone",
                    duration(held), "refused call, `log=off`: " + duration(off), held / off, "≤ 0.10×", held / off <= 0.10))
    return rows


def globals_(r):
    functions, dictionary = "BM_StoreAndReadMillionKeys_ThroughFunctions", "BM_StoreAndReadMillionKeys_Dictionary"
    rows = []
    for label, field in (("store", "store_cpu_ns_per_op"), ("read back", "read_cpu_ns_per_op")):
        ours, direct = r.value(functions, field), r.value(dictionary, field)
        rows.append(row("Globals: %s 1,000,000 distinct keys, per call" % label, duration(ours),
                        "dictionary alone: " + duration(direct), ours / direct))
    rows.append(row("Globals: peak heap per key, 1,000,000 keys", "%.0f B" % r.value(functions, "peak_heap_bytes_per_key"),
                    "resident set: %.0f B" % r.value(functions, "peak_rss_bytes_per_key")))
    for reported, host in ((1, "host reports closings"), (0, "host without closing messages")):
        among, alone = r.cpu("BM_GetGlobalAmongBoundKeys/200000/%d" % reported), r.cpu("BM_GetGlobalAmongBoundKeys/0/%d" % reported)
        rows.append(row("Globals: GetGlobal among 200,000 bound keys, die interval 1 s, %s" % host, duration(among),
                        "no bound keys: " + duration(alone), among / alone, "≤ 2×", among / alone <= 2))
    return rows


def numeric_sort(r):
    name = "BM_SortMillionNumbers_VantrelVersusSortG"
    ours, gnu = r.value(name, "vantrel_median_ms") * 1e6, r.value(name, "sort_g_median_ms") * 1e6
    return [row("Sort: 1,000,000 numbers through `Vantrel_Get ( \"sort\" ; … )` (wall)", duration(ours),
                "`sort -g`: " + duration(gnu), ours / gnu, "< 1× (faster)", ours < gnu)]


REGEXP_CHARACTERS = 10_000_000
# Answered at the first position: what remains is the text's way out of the host, bounded per character.
REGEXP_FIRST_POSITION_NS_PER_CHARACTER = 0.75


# A call whose one match outgrows the text ends at the time budget: its CPU time may pass it by this much.
REGEXP_BUDGET_MARGIN = 1.1


def regexp_budget(r):
    """The slowest call of the one-match family against the time budget it must end at."""
    calls = [name for name in r.names() if name.startswith("OneMatchBudget/")]
    if not calls:
        return []
    worst = max(calls, key=r.cpu)
    ours, budget = r.cpu(worst), r.value(worst, "budget_ms") * 1e6
    answered = all(r.value(name, "answer") == 2400 for name in calls)
    figure = "Regex: slowest one-match case, `%s` over 1,000,000 characters, through `Vantrel_RegExp_PatternCount`" % (
        worst.partition("/")[2])
    if not answered:
        figure += " (NOT ALL ANSWERED 2400)"
    return [row(figure, duration(ours), "time budget: " + duration(budget), ours / budget,
                "≤ %g×" % REGEXP_BUDGET_MARGIN, answered and ours <= REGEXP_BUDGET_MARGIN * budget)]


def regexp(r):
    rows = []
    for name in r.names():
        kind, _, pattern = name.partition("/")
        if kind not in ("PatternCount", "ThroughFunction"):
            continue
        through = kind == "ThroughFunction"
        figure = "Regex: `%s`, 10,000,000 characters%s" % (
            pattern, " through `Vantrel_RegExp_PatternCount`" if through else "")
        ours = r.cpu(name)
        try:
            node = r.value(name, "node_cpu_ms") * 1e6
        except LookupError:
            rows.append(row(figure, duration(ours), "no Node", target="≤ 1×", met=False))
            continue
        agree = r.value(name, "matches") == r.value(name, "node_matches")
        if not agree:
            figure += " (COUNTS DIFFER)"
        if through and pattern.startswith("^"):
            per_character = ours / REGEXP_CHARACTERS
            rows.append(row(figure + ", per character", "%.3g ns" % per_character,
                            "Node `match` /g: " + duration(node), ours / node,
                            "≤ %g ns" % REGEXP_FIRST_POSITION_NS_PER_CHARACTER,
                            agree and per_character <= REGEXP_FIRST_POSITION_NS_PER_CHARACTER))
        else:
            rows.append(row(figure, duration(ours), "Node `match` /g: " + duration(node), ours / node, "≤ 1×",
                            agree and ours <= node))
    return rows + regexp_budget(r)


def sql(r):
    ours, cli, peak = "OursExecuteSQL", "Sqlite3CommandLine", "OursExecuteSQLPeakMemory"
    cpu_ours, cpu_cli = r.value(ours, "cpu_ms") * 1e6, r.value(cli, "cpu_ms") * 1e6
    wall_ours, wall_cli = r.real(ours), r.real(cli)
    e2e = (r.value("FmhostExecuteSQL", "cpu_ms") - r.value("FmhostConstant", "cpu_ms")) * 1e6
    return [
        row("SQL: `Vantrel_ExecuteSQL`, 200,000 rows × 5 columns", duration(cpu_ours),
            "`sqlite3 -separator`: " + duration(cpu_cli), cpu_ours / cpu_cli, "≤ 2×", cpu_ours <= 2 * cpu_cli),
        row("SQL: the same (wall)", duration(wall_ours), "`sqlite3`: " + duration(wall_cli), wall_ours / wall_cli,
            "≤ 2×", wall_ours <= 2 * wall_cli),
        row("SQL: peak memory of one call", "%.1f MiB" % r.value(peak, "call_peak_MiB", "max"),
            "result text (UTF-16): %.1f MiB" % r.value(peak, "text_MiB", "max"),
            r.value(peak, "call_peak_MiB", "max") / r.value(peak, "text_MiB", "max"), "≤ 4×",
            r.value(peak, "call_peak_MiB", "max") <= 4 * r.value(peak, "text_MiB", "max")),
        row("SQL: end to end, fmhost `Length ( Vantrel_ExecuteSQL ( … ) )` less `Length ( \"x\" )`",
            duration(e2e), "`sqlite3 -separator`: " + duration(cpu_cli), e2e / cpu_cli, "≤ 2×", e2e <= 2 * cpu_cli),
        row("SQL: peak memory (the whole benchmark process)", "%.0f MiB" % r.value(ours, "peak_MiB", "max"),
            "`sqlite3`: %.0f MiB" % r.value(cli, "peak_MiB", "max")),
    ]


def html(r):
    rows = []
    for name, label, per_char_target in (("SixStyleRuns", "runs of 10 characters over 6 styles", 60),
                                         ("SixStylesEveryCharacter", "a new style at every character", None)):
        before = None
        for mb in (1, 2, 4, 8):
            run = "%s/%d" % (name, mb << 20)
            ns = r.cpu(run)
            per_char = ns / (mb << 20)
            if per_char_target is None:
                rows.append(row("HTML: %d MB, %s, time per character" % (mb, label), "%.0f ns" % per_char))
            else:
                rows.append(row("HTML: %d MB, %s, time per character" % (mb, label), "%.0f ns" % per_char,
                                target="≤ %d ns" % per_char_target, met=per_char <= per_char_target))
            if before is not None:
                rows.append(row("HTML: %d MB, %s, against %d MB" % (mb, label, mb // 2), duration(ns),
                                "%d MB: %s" % (mb // 2, duration(before)), ns / before, "≤ 2.2×", ns / before <= 2.2))
            before = ns
            # The call's own peak (bytes held above what was held when it began), the result text included.
            peak = r.value(run, "peak_bytes_per_char", "max")
            ratio = r.value(run, "peak_per_output_byte", "max")
            rows.append(row("HTML: %d MB, %s, peak memory per input character" % (mb, label), "%.1f B" % peak,
                            "result (UTF-16): %.1f B" % (peak / ratio), ratio, "≤ 4×", ratio <= 4))
    one, two = r.cpu("AlternatingSizesStyleBold/%d" % (1 << 20)), r.cpu("AlternatingSizesStyleBold/%d" % (2 << 20))
    label = "alternating sizes, style option \"bold\""
    rows.append(row("HTML: 1 MB, %s" % label, duration(one), target="< 1 s", met=one < 1e9))
    rows.append(row("HTML: 2 MB, %s" % label, duration(two), "1 MB: " + duration(one), two / one, "≤ 2.2×",
                    two / one <= 2.2))
    for name, label in (("VariableLines", "lines ended by ¶"), ("VariableLineSeparatedLines", "lines ended by line separators")):
        half, whole = r.cpu("%s/%d" % (name, 1 << 15)), r.cpu("%s/%d" % (name, 1 << 16))
        rows.append(row("HTML: variable mode, 64k %s" % label, duration(whole), target="< 2 s", met=whole < 2e9))
        rows.append(row("HTML: variable mode, 64k %s against 32k" % label, duration(whole), "32k: " + duration(half),
                        whole / half, "≤ 2.2×", whole / half <= 2.2))
    return rows


def hot_calls(names):
    def adapter(r):
        return [row("Emulator: %s" % label, duration(r.cpu(name))) for name, label in names]
    return adapter


def generic(program):
    return lambda r: [row("%s: %s" % (program, name), duration(r.cpu(name))) for name in r.names()]


# Program -> adapter, in the order of the table. Programs not named here come last through `generic`.
ADAPTERS = [
    ("FrameBenchmark", frame),
    ("AllowListBenchmark", allow_list),
    ("GlobalsBenchmark", globals_),
    ("NumericSortBenchmark", numeric_sort),
    ("RegExpBenchmark", regexp),
    ("SqlBenchmark", sql),
    ("HtmlBenchmark", html),
    ("HostEmulatorCoreBenchmark", hot_calls([
        ("DirectCall", "direct call of a registered function"),
        ("EvaluateCachedText", "Evaluate of a cached `Get ( FileName )`"),
        ("TextAssign", "Text::Assign of a short text"),
        ("DataSetAsText", "Data::SetAsText"),
    ])),
    ("HostEmulatorCalcBenchmark", hot_calls([
        ("EvaluatePluginFunction", "calculation calling a plug-in function with 2 arguments"),
        ("EvaluateLastErrorLet", "the last-error `Let` a plug-in sends"),
        ("ParseAndEvaluateNewText", "parse and evaluate a calculation seen for the first time"),
    ])),
]


# What each program's rows compare, for the notes under the table.
NOTES = {
    "FrameBenchmark": "Frame: the reference is the emulator evaluating the literal `1` from a parsed calculation, "
                      "no plug-in involved.",
    "AllowListBenchmark": "Allow-list: CPU time of the calling thread, the kernel's time for the file reads included; "
                          "the file is left unchanged for two seconds before each measurement, so it is kept parsed.",
    "GlobalsBenchmark": "Globals: \"per call\" goes through `Vantrel_SetGlobal` / `Vantrel_GetGlobal` as the host "
                        "calls them (allow-list check included); \"dictionary alone\" calls the store directly.",
    "NumericSortBenchmark": "Sort: wall-clock on both sides, because `sort -g` sorts with several threads (its CPU "
                            "time would add up both cores); C locale, output to /dev/null.",
    "RegExpBenchmark": "Regex: Node's CPU time is `process.cpuUsage` around `text.match(new RegExp(p, \"g\"))`; "
                       "both sides' match counts are compared. \"Through `Vantrel_RegExp_PatternCount`\" is the "
                       "call as the host makes it, the text an argument value: the copy out of the host included. "
                       "The one-match row is the slowest of `^(a+)\\1+b`, `(a+)\\1+b` and `(?:(?=a*c)|a)*b` over "
                       "1,000,000 × `a` then `cb`, each a single quadratic match that must answer 2400 at the budget.",
    "SqlBenchmark": "SQL: both sides write the whole result (TAB between values, CR between rows) as UTF-8 to a file; "
                    "the sqlite3 side includes the shell that starts it. Peak memory is the whole benchmark "
                    "process (emulator, plug-in, result text) against the sqlite3 child's.",
    "HtmlBenchmark": "HTML: the conversion behind `Vantrel_GetAsHTML`, options given as host texts, the host's style "
                     "calls included. Peak memory is counted by a replaced operator new: the most bytes held during "
                     "one call above what was held when it began (plug-in and emulator, the result text included), "
                     "against the result's size in UTF-16. Every size runs under one allocation policy (every "
                     "block from the heap, freed memory kept by the process, as in a server that has served such "
                     "calls before): glibc's default hands blocks above a moving threshold back to the system, so "
                     "that from 4 MB of text each call paid the kernel for clearing fresh pages and the doubling "
                     "rows measured the allocator.",
}


def collect(results):
    present = sorted(f[:-5] for f in os.listdir(results) if f.endswith(".json"))
    known = [name for name, _ in ADAPTERS]
    rows = []
    for name, adapter in ADAPTERS + [(n, generic(n)) for n in present if n not in known]:
        path = os.path.join(results, name + ".json")
        try:
            rows += adapter(cResults(path))
        except (OSError, LookupError, ValueError, ZeroDivisionError) as error:
            reason = "not run" if not os.path.exists(path) else "failed: %s" % error
            rows.append(row("%s: %s" % (name, reason), "—", target="—", met=False if os.path.exists(path) else None))
    return rows


def run_dates(results):
    """When the programs whose results are shown ran (Google Benchmark records it in each JSON file)."""
    dates = []
    for name in os.listdir(results):
        if name.endswith(".json"):
            try:
                with open(os.path.join(results, name)) as f:
                    dates.append(datetime.datetime.fromisoformat(json.load(f)["context"]["date"]))
            except (OSError, KeyError, ValueError):
                pass
    if not dates:
        return "no results"
    first, last = (d.astimezone(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC") for d in (min(dates), max(dates)))
    return first if first == last else "%s to %s" % (first, last)


def machine(load):
    model = platform.processor() or "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            model = next((l.split(":", 1)[1].strip() for l in f if l.startswith("model name")), model)
    except OSError:
        pass
    described = "%d CPUs (nproc), %s, Linux %s" % (os.cpu_count(), model, platform.release())
    return described + ("; load average (1, 5, 15 min) when the programs started: " + load if load else "")


def table(rows):
    rows = [{key: value.replace("|", "\\|") for key, value in r.items()} for r in rows]
    columns = [("figure", "Figure"), ("ours", "Ours"), ("reference", "Reference"), ("ratio", "Ratio"),
               ("target", "Target"), ("met", "Met")]
    widths = [max(len(title), *(len(r[key]) for r in rows)) for key, title in columns]
    lines = ["| " + " | ".join(title.ljust(w) for (_, title), w in zip(columns, widths)) + " |",
             "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    lines += ["| " + " | ".join(r[key].ljust(w) for (key, _), w in zip(columns, widths)) + " |" for r in rows]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", required=True)
    parser.add_argument("--mode", default="full")
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--markdown")
    parser.add_argument("--load", help="the load average when the programs started")
    args = parser.parse_args()

    rows = collect(args.results)
    text = table(rows)
    print(text)
    missed = [r["figure"] for r in rows if r["met"] == "**NO**"]
    print("\nTargets not met: %d" % len(missed), file=sys.stderr)
    notes = "".join("- %s\n" % note for program, note in NOTES.items()
                    if os.path.exists(os.path.join(args.results, program + ".json")))

    if args.markdown:
        when = run_dates(args.results)
        document = f"""# Benchmarks

Latest table from `Development/Benchmarks/run` ({args.mode} run), {when}.

Machine: {machine(args.load)}.

Every figure is the **median** of several repetitions: {args.repetitions} for the call-sized benchmarks
(`--benchmark_repetitions`), 5 for the regular expressions, SQL, HTML (9 in variable mode) and sort (fixed in those
programs, which time both sides in the same run), up to 3 for the million-key globals. The machine is shared, so
times are **CPU time** (user + system of the process, or of the child process for the command-line references) unless
the row says "(wall)": those are wall-clock times, which the neighbours' load can inflate. A ratio is ours divided by
the reference; target "report" means the figure has no target and is reported only.

{text}

Targets not met in this run ({len(missed)}){":" if missed else "."}
""" + "".join(f"- {figure}\n" for figure in missed) + """
Notes:
""" + notes + """
Rerun with `Development/Benchmarks/run` (about 7 minutes including the build, or `--quick`); each program's console
output and JSON stay in `build-bench/benchmark-results/`.
"""
        with open(args.markdown, "w") as f:
            f.write(document)
        print("\nWritten to %s" % args.markdown, file=sys.stderr)


if __name__ == "__main__":
    main()
