# Without the host emulator (the package build), the plug-in links against an empty stand-in of the host's
# libFMWrapper.so. It only records the dependency: FileMaker Server has its own libFMWrapper.so loaded and provides
# every FM_* function when it loads the plug-in. The emulator build links the same sources with --no-undefined
# against the emulator, which implements the whole SDK, so a missing function is still caught there.
set(VANTREL_HOST_LIBRARY_STUB_DIR "${CMAKE_BINARY_DIR}/host-library-stub")
file(CONFIGURE OUTPUT "${VANTREL_HOST_LIBRARY_STUB_DIR}/empty.c"
     CONTENT "/* Intentionally empty: see cmake/HostLibraryStub.cmake. */\n")
add_library(FMWrapper SHARED "${VANTREL_HOST_LIBRARY_STUB_DIR}/empty.c")
set_target_properties(FMWrapper PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${VANTREL_HOST_LIBRARY_STUB_DIR}")
