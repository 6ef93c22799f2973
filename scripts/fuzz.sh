#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS (default 60), two at a time.
# A crash fails the run; the input that caused it is left in build-fuzz/findings/ to become a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang libclang-rt-14-dev
seconds=${FUZZ_SECONDS:-60}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DVANTREL_FUZZ=ON -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCHMARKS=OFF >/dev/null
fuzzers=()
for f in Development/Fuzz/*Fuzzer.cpp; do fuzzers+=("$(basename "$f" .cpp)"); done
cmake --build build-fuzz -j "$(nproc)" --target "${fuzzers[@]}"
mkdir -p build-fuzz/findings
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
# Seconds one input may take. The pattern fuzzer gives each input 200 ms of matching (processor time): an input that
# runs for 2 s has escaped that budget, which is a failure, not slowness.
timeout_of() {
  case "$1" in
    RegExpPatternFuzzer) echo 2 ;;
    *) echo 10 ;;
  esac
}
run() {
  local name=$1 work="build-fuzz/work/$1"
  rm -rf "$work"; mkdir -p "$work"
  cp -r "Development/Fuzz/corpus/${name%Fuzzer}/." "$work/" 2>/dev/null || true
  if ! "build-fuzz/$name" -max_total_time="$seconds" -timeout="$(timeout_of "$name")" -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/findings/$name-" "$work" >"build-fuzz/$name.log" 2>&1; then
    echo "FUZZ FAILURE in $name:"; tail -40 "build-fuzz/$name.log"; return 1
  fi
  echo "$name: $(grep -E '^Done [0-9]+ runs' "build-fuzz/$name.log" | tail -1)"
}
for ((i = 0; i < ${#fuzzers[@]}; i += 2)); do
  pids=()
  for name in "${fuzzers[@]:i:2}"; do run "$name" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
