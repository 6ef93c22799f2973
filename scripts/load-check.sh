#!/usr/bin/env bash
# Loads each copy of the plug-in that a package installs the way FileMaker Server's engines do, for amd64 and for
# arm64 (under qemu-user): in a private mount namespace with a tmpfs over /opt, the package's files are unpacked
# into /opt and the host emulator's libFMWrapper.so is put at /opt/FileMaker/lib/libFMWrapper.so, where the server
# keeps its own. A loader that does not link libFMWrapper.so (Development/Tests/loader) then dlopens each copy by
# its path, initialises it as that copy's engine, calls Vantrel_Version through the host's registry and shuts it
# down. Each copy must
#   - fail to load without /opt/FileMaker/lib/libFMWrapper.so, with the dynamic loader's own message;
#   - load with it, finding it there (and not in any build folder);
#   - answer "?" without an allow-list and its version once /opt's allow-list lets the calling file call it.
# Usage (as root): load-check.sh   (the packages in build-package/; VANTREL_PACKAGE_ARCHES="amd64" checks fewer)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/arm64.sh
[ "$(id -u)" -eq 0 ] || { echo "load-check.sh mounts a tmpfs over /opt in a namespace of its own: run it as root" >&2
                          exit 1; }
host_library=/opt/FileMaker/lib/libFMWrapper.so
allowlist="/opt/FileMaker/FileMaker Server/Data/Zeq/zeqPluginsAllowedFunctions.txt"
calling_file=LoadCheck
missing_library="libFMWrapper.so: cannot open shared object file"

# Inside the namespace: check ARCH's package with the emulator and loader of BUILD, run through RUNNER.
if [ "${1:-}" = --inside ]; then
  arch=$2 deb=$3 build=$4 runner=(${5:-})
  fail() { echo "load check ($arch): $*" >&2; exit 1; }
  mount -t tmpfs -o mode=0755 vantrel-load-check /opt
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C / --wildcards './opt/*'
  mapfile -t plugins < <(find /opt -name '*.fmx' -type f | sort)
  [ ${#plugins[@]} -eq 3 ] || fail "the package installs ${#plugins[@]} plug-in files, not one per engine"
  load() { env -u LD_LIBRARY_PATH -u LD_PRELOAD "${runner[@]}" "$build/vantrel-plugin-load" "$@"; }
  engine_of() {
    case $1 in
      */Database\ Server/Extensions/*) echo sase ;;
      */cwpc/Plugins/*) echo web ;;
      */wip/Plugins/*) echo fmdapi ;;
      *) fail "$1 is in no engine's plug-in folder" ;;
    esac
  }
  # check_loads EXPECTED: every copy loads from /opt's host library and Vantrel_Version answers EXPECTED...
  check_loads() {
    for plugin in "${plugins[@]}"; do
      out=$(load --engine "$(engine_of "$plugin")" --file "$calling_file" --expect-version "$1" "$plugin") ||
        fail "$plugin did not load and answer as expected: $out"
      grep -qF "host library $host_library" <<<"$out" || fail "$plugin did not use $host_library: $out"
      echo "$out"
    done
  }
  for plugin in "${plugins[@]}"; do
    load --expect-load-failure "$missing_library" "$plugin" || fail "$plugin loaded without $host_library"
  done
  mkdir -p "$(dirname "$host_library")"
  cp "$build/libFMWrapper.so" "$host_library"
  # No allow-list yet: the plug-in loads and registers, and denies the call.
  check_loads '?'
  mkdir -p "$(dirname "$allowlist")"
  printf '%s\tVantrel_Version\n' "$calling_file" >"$allowlist"
  check_loads 'Zeq Vantrel Plug-In 3.2'
  exit 0
fi

arches=${VANTREL_PACKAGE_ARCHES:-amd64 arm64}
for arch in $arches; do
  deb=$(ls build-package/vantrel-plugin_*_"$arch".deb 2>/dev/null | tail -1)
  [ -n "$deb" ] || { echo "No $arch package in build-package/: run scripts/package.sh first" >&2; exit 1; }
  case $arch in
    amd64)
      build=${BUILD_DIR:-build}
      runner=""
      [ -f "$build/CMakeCache.txt" ] ||
        cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON >/dev/null
      ;;
    arm64)
      vantrel_enable_arm64
      bash scripts/deps.sh --only cmake make pkg-config file crossbuild-essential-arm64 qemu-user nlohmann-json3-dev \
        libpcre2-dev:arm64 libsqlite3-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64 libstdc++6:arm64
      build=${ARM64_BUILD_DIR:-build-arm64/tests}
      runner=qemu-aarch64
      [ -f "$build/CMakeCache.txt" ] || vantrel_configure_arm64_build "$build"
      ;;
    *) echo "Unknown architecture $arch (amd64 or arm64)" >&2; exit 1 ;;
  esac
  cmake --build "$build" -j "$(nproc)" --target FMWrapper vantrel-plugin-load
  echo "== $arch: $deb"
  unshare --mount --propagation private bash "$0" --inside "$arch" "$PWD/$deb" "$PWD/$build" "$runner"
done
echo "Every copy of the plug-in fails to load without $host_library and loads, initialises, answers and shuts" \
     "down with it, on $arches."
