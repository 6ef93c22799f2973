# Cross-compiling for arm64 with Debian's cross toolchain (crossbuild-essential-arm64) and the :arm64 development
# packages installed by multiarch (dpkg --add-architecture arm64). Programs built here run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
# Libraries, headers and CMake packages of the target architecture; programs (sqlite3, qemu) of the build machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig")
find_program(VANTREL_QEMU_AARCH64 qemu-aarch64)
if(VANTREL_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VANTREL_QEMU_AARCH64}")
endif()
