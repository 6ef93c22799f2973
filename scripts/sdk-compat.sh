#!/usr/bin/env bash
# The plug-in must compile against the vendor's SDK headers on a real build machine. Our stand-in headers reproduce
# the vendor's include relationships, quirks included, so that whatever compiles against ours compiles against theirs.
# This check, against a copy of the headers kept outside the source tree:
#   1. the stand-in is no more forgiving than the vendor's headers: each header makes complete exactly the classes the
#      vendor's does, and FMXCalcEngine.h does not compile without FMXTypes.h before it;
#   2. every source and every header of the plug-in compiles on its own, with only its own includes;
#   3. no source of the plug-in includes an emulator header.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if grep -RInE '#include *[<"](FMHost/|core/|calc/|HostEmulator)' Development/Sources; then
  echo "The plug-in's sources include emulator headers (above)." >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r Development/SDK/FMWrapper "$work/"
pcre2_cflags=$(pkg-config --cflags libpcre2-16 libpcre2-32)
# The version constants are generated from the project's version when CMake configures; configuring as the package
# build does (no emulator, no tests) makes them.
cmake -S . -B "$work/configure" -DVANTREL_HOST_EMULATOR=OFF -DVANTREL_BUILD_TESTS=OFF >/dev/null
generated="$work/configure/Development/Sources/generated"
# The plug-in's own flags, warnings as errors; the SDK copy comes in as a system folder, as CMake passes it.
export SDK_COMPAT_FLAGS="-std=c++17 -fsyntax-only -pthread -Wall -Wextra -Werror -I Development/Sources \
  -I $generated -isystem $work $pcre2_cflags -DVANTREL_ALLOWLIST_PATH=\"/dev/null\""
export SDK_COMPAT_LOG="$work/log"
mkdir -p "$SDK_COMPAT_LOG"

# compile_one FILE: a .cpp as it is, a header through a translation unit that includes only it.
compile_one() {
  local file=$1 log
  log="$SDK_COMPAT_LOG/$(echo "$file" | tr '/' '_').txt"
  # shellcheck disable=SC2086
  case $file in
    *.cpp) ${CXX:-g++} $SDK_COMPAT_FLAGS "$file" >"$log" 2>&1 ;;
    *) printf '#include "%s"\n' "${file#Development/Sources/}" | ${CXX:-g++} $SDK_COMPAT_FLAGS -x c++ - >"$log" 2>&1 ;;
  esac || { echo "does not compile on its own: $file"; head -20 "$log"; return 1; }
}
export -f compile_one

# 1. The stand-in's surface, header by header, and the quirk that makes FMXCalcEngine.h depend on its includer.
for probe in 0 1 2 3 4 5 6 7 8 9; do
  # shellcheck disable=SC2086
  ${CXX:-g++} $SDK_COMPAT_FLAGS -DPROBE=$probe Development/Tests/sdk/HeaderSurfaceProbe.cpp
done
printf '#include "FMWrapper/FMXCalcEngine.h"\n' >"$work/calc-engine-alone.h"
if compile_one "$work/calc-engine-alone.h" >/dev/null; then
  echo "FMXCalcEngine.h compiles without FMXTypes.h before it; the vendor's does not." >&2
  exit 1
fi

# 2. Every plug-in file on its own, as many at a time as there are cores.
if ! find Development/Sources \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
     xargs -0 -n 1 -P "$(nproc)" bash -c 'compile_one "$0"'; then
  echo "Some plug-in files (above) rely on includes they do not make themselves." >&2
  exit 1
fi
echo "Every plug-in source and header compiles on its own against the SDK headers in a separate folder."
