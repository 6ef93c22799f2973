#!/usr/bin/env bash
# Runs the tests again under the sanitizers a server would want us to pass:
# every test under AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer included),
# and the concurrency tests under ThreadSanitizer. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
what=${1:-all}
# Reports need files and lines, not variables: line tables alone compile faster than full debug information.
line_tables=(-DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

if [ "$what" = all ] || [ "$what" = address ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug "${line_tables[@]}" -DVANTREL_WERROR=ON \
        -DVANTREL_SANITIZE=address,undefined \
        -DVANTREL_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

if [ "$what" = all ] || [ "$what" = thread ]; then
  # Unoptimised, as the ASan tree: it compiles in half the time, and the concurrency tests are bounded by time.
  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug "${line_tables[@]}" -DVANTREL_WERROR=ON -DVANTREL_SANITIZE=thread \
        -DVANTREL_BUILD_BENCHMARKS=OFF >/dev/null
  # Concurrency tests carry "Concurren", "Thread" or "Stress" in their suite or test names; only their programs
  # are built here.
  pattern='Concurren|Thread|Stress'
  targets=()
  for f in $(grep -lE "TEST(_F|_P)?\\(.*($pattern)" Development/Tests/*Tests.cpp); do targets+=("$(basename "$f" .cpp)"); done
  cmake --build build-tsan -j "$jobs" --target "${targets[@]}"
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R "$pattern"
fi
