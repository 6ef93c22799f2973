#!/usr/bin/env bash
# Builds the Debian packages of the plug-in into build-package/:
#   vantrel-plugin_<version>_amd64.deb and vantrel-plugin_<version>_arm64.deb (arm64 with Debian's cross compiler),
#   each with its debug symbols in vantrel-plugin-dbgsym_<version>_<arch>.ddeb.
# Only the production plug-in and the allow-list checker are built, hardened (no host emulator, tests, SQLite or
# benchmarks), and each package is checked before it is kept (scripts/check-package.sh: lintian, symbol versions,
# stripping, hardening).
# VANTREL_PACKAGE_ARCHES="amd64" builds fewer architectures.
set -euo pipefail
cd "$(dirname "$0")/.."
arches=${VANTREL_PACKAGE_ARCHES:-amd64 arm64}
out=$PWD/build-package

needed=(g++ make cmake pkg-config file dpkg-dev binutils lintian libpcre2-dev)
for arch in $arches; do
  case $arch in
    amd64) ;;
    arm64)
      # dpkg-shlibdeps reads the arm64 packages' own records of the libraries the plug-in links (the cross
      # compiler's copies under /usr/aarch64-linux-gnu belong to no arm64 package).
      needed+=(crossbuild-essential-arm64 libpcre2-dev:arm64 libc6:arm64 libstdc++6:arm64 libgcc-s1:arm64)
      if ! dpkg --print-foreign-architectures | grep -qx arm64; then
        if [ "$(id -u)" -ne 0 ]; then
          echo "Run as root, or first: sudo dpkg --add-architecture arm64" >&2
          exit 1
        fi
        dpkg --add-architecture arm64
      fi
      ;;
    *) echo "Unknown architecture $arch (amd64 or arm64)" >&2; exit 1 ;;
  esac
done
bash scripts/deps.sh --only "${needed[@]}"

native=$(dpkg --print-architecture)
for arch in $arches; do
  build=$out/$arch
  toolchain=()
  if [ "$arch" != "$native" ]; then
    [ "$arch" = arm64 ] || { echo "Cannot cross-build $arch on $native" >&2; exit 1; }
    toolchain=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake")
  fi
  echo "== $arch"
  cmake -S . -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_PACKAGE=ON \
        -DVANTREL_WERROR=ON >/dev/null
  cmake --build "$build" -j "$(nproc)" --target Vantrel vantrel-allowlist-check vantrel-allowlist-check-manual
  rm -f "$out"/vantrel-plugin_*_"$arch".deb "$out"/vantrel-plugin-dbgsym_*_"$arch".ddeb
  (cd "$build" && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$out" >/dev/null)
  bash scripts/check-package.sh "$out"/vantrel-plugin_*_"$arch".deb
done
ls -l "$out"/*.deb "$out"/*.ddeb
