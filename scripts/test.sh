#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# The browser test renders GetAsHTML output in Chromium: installed where we may (as root), else that test skips.
if [ "$(id -u)" -eq 0 ] || command -v chromium >/dev/null 2>&1; then
  bash scripts/deps.sh --browser
fi
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
