# Sourced by the scripts that cross-build for arm64 and run the results under qemu-user.

# Lets dpkg install arm64 packages beside the machine's own (multiarch); adding it needs root.
vantrel_enable_arm64() {
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "Run as root, or first: sudo dpkg --add-architecture arm64" >&2
      exit 1
    fi
    dpkg --add-architecture arm64
  fi
}

# vantrel_configure_arm64_build FOLDER: the arm64 build of the emulator, fmhost and the tests, hardened as the
# package is. FOLDER has the depth of build-package/arm64, so that the compiler cache serves the plug-in's objects
# to both.
vantrel_configure_arm64_build() {
  cmake -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON -DVANTREL_HARDEN=ON -DVANTREL_BUILD_BENCHMARKS=OFF \
        >/dev/null
}
