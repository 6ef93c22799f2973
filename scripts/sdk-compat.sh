#!/usr/bin/env bash
# The plug-in must compile against any copy of the SDK headers (the vendor's on a real build machine), so its
# sources may use nothing of the emulator. Builds the production plug-in against a copy of the headers kept
# outside the source tree, and refuses sources that name the emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if grep -RInE '#include *[<"](FMHost/|core/|calc/|HostEmulator)' Development/Sources; then
  echo "The plug-in's sources include emulator headers (above)." >&2
  exit 1
fi
sdk=$(mktemp -d)
trap 'rm -rf "$sdk"' EXIT
cp -r Development/SDK/FMWrapper "$sdk/"
cmake -S . -B build-sdk-compat -DFMX_SDK_DIR="$sdk" -DVANTREL_WERROR=ON -DVANTREL_BUILD_TESTS=OFF \
      -DVANTREL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-sdk-compat -j "$(nproc)" --target Vantrel
echo "The plug-in compiles against the SDK headers in a separate folder."
