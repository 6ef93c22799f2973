#!/usr/bin/env bash
# Builds the plug-in and the host emulator, installs the example allow-list for the sandbox plug-in,
# and evaluates the example calculations in examples/demo.fmcalc, printing each with its result under its section.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target fmhost VantrelSandbox Vantrel example_databases
mkdir -p "$build/sandbox"
cp examples/zeqPluginsAllowedFunctions.txt "$build/sandbox/zeqPluginsAllowedFunctions.txt"
demo_files=(--file Invoices)
[ -f "$build/examples/invoices.sqlite" ] && demo_files=(--file "Invoices=$build/examples/invoices.sqlite")
"$build/fmhost" "${demo_files[@]}" --file Contacts --echo examples/demo.fmcalc
