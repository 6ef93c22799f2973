#!/usr/bin/env bash
# Cross-builds for arm64 what the end-to-end tests drive (the plug-in, the host emulator and fmhost) and the
# end-to-end test programs, hardened as the package is, and runs those tests under qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/arm64.sh
vantrel_enable_arm64
bash scripts/deps.sh --only cmake make pkg-config file sqlite3 crossbuild-essential-arm64 qemu-user libxml2-utils libstdc++6:arm64 \
  nlohmann-json3-dev libpcre2-dev:arm64 libsqlite3-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
build=${BUILD_DIR:-build-arm64/tests}
vantrel_configure_arm64_build "$build"
targets=()
for f in Development/Tests/*EndToEndTests.cpp; do targets+=("$(basename "$f" .cpp)"); done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
file "$build/fmhost" | grep -q 'ARM aarch64' || { echo "$build/fmhost is not an arm64 program" >&2; exit 1; }
# Emulated, everything runs several times slower: longer time limits, and a stress run long enough for its
# minimum number of calls.
export VANTREL_STRESS_SECONDS=${VANTREL_STRESS_SECONDS:-15}
# The prompt's tests stay native: they type at a terminal, the cross build has no line editor, and under emulation
# typed-ahead lines reach the terminal before the prompt is shown.
# The out-of-memory test stays native too: qemu-user reserves the guest's address space itself, so a limit on it
# tests the emulator, not fmhost. A test that times out under emulation runs once more: one stress run in a loaded CI
# hung under qemu-user (never natively, nor in seven reruns), and is left to the native and sanitizer stages to judge.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -L end-to-end \
  -E '^FmhostPrompt\.|^FmhostOutput\.RunningOutOfMemory' --timeout 900 --repeat after-timeout:2
