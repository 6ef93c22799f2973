# Installation and the Debian package: only the production plug-in, the allow-list checker, their documentation
# and an example allow-list.
# The emulator (libFMWrapper.so, fmhost) is never installed: on a server the host provides libFMWrapper.so. Only
# fmhost's manual page is, outside the package build (Development/HostEmulator/CMakeLists.txt).
# `cmake --install --prefix P` installs everything under P; only the package build (VANTREL_PACKAGE) puts the
# plug-in where FileMaker Server loads it from.
include(GNUInstallDirs)

# FileMaker Server's engines each load plug-ins from a folder of their own: the Script Engine (and the database
# engine) from Database Server/Extensions, the Web Publishing Engine from cwpc/Plugins, the Data API from
# wip/Plugins. The package puts one copy into each.
set(VANTREL_SERVER_DIR "opt/FileMaker/FileMaker Server")
set(VANTREL_ENGINE_PLUGIN_DIRS
    "${VANTREL_SERVER_DIR}/Database Server/Extensions"
    "${VANTREL_SERVER_DIR}/Web Publishing/publishing-engine/cwpc/Plugins"
    "${VANTREL_SERVER_DIR}/Web Publishing/publishing-engine/wip/Plugins")

# FileMaker Server requires plug-in files its fmsadmin group may read and execute; CMake would install a shared
# library without the execute bits on Debian.
set(VANTREL_PLUGIN_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(VANTREL_PACKAGE)
  # The package installs from the root of the file system, so every destination is relative to /; the prefix
  # of `cmake --install --prefix` still comes first.
  set(vantrel_data_dir "usr/share")
  set(vantrel_bin_dir "usr/bin")
  foreach(folder IN LISTS VANTREL_ENGINE_PLUGIN_DIRS)
    install(TARGETS Vantrel LIBRARY DESTINATION "${folder}" PERMISSIONS ${VANTREL_PLUGIN_PERMISSIONS}
            COMPONENT plugin)
  endforeach()
else()
  set(vantrel_data_dir "${CMAKE_INSTALL_DATADIR}")
  set(vantrel_bin_dir "${CMAKE_INSTALL_BINDIR}")
  set(VANTREL_PLUGIN_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/vantrel" CACHE PATH
      "Folder the plug-in is installed into, under the install prefix")
  install(TARGETS Vantrel LIBRARY DESTINATION "${VANTREL_PLUGIN_INSTALL_DIR}" PERMISSIONS ${VANTREL_PLUGIN_PERMISSIONS}
          COMPONENT plugin)
endif()
set(VANTREL_DOC_DIR "${vantrel_data_dir}/doc/vantrel-plugin")
set(VANTREL_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")

install(TARGETS vantrel-allowlist-check RUNTIME DESTINATION "${vantrel_bin_dir}" COMPONENT plugin)
install(FILES "${VANTREL_ALLOWLIST_CHECK_MANUAL}" DESTINATION "${vantrel_data_dir}/man/man1" COMPONENT plugin)
install(FILES README.md docs/functions.md docs/allow-list.md docs/troubleshooting.md
        "${VANTREL_PACKAGING_DIR}/copyright" DESTINATION "${VANTREL_DOC_DIR}" COMPONENT plugin)
# The live allow-list belongs to the administrator: only an example is installed, beside the documentation.
install(FILES examples/zeqPluginsAllowedFunctions.txt DESTINATION "${VANTREL_DOC_DIR}/examples"
        RENAME zeqPluginsAllowedFunctions.example.txt COMPONENT plugin)

if(NOT VANTREL_PACKAGE)
  return()
endif()

set(CPACK_PACKAGE_NAME "vantrel-plugin")
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(VANTREL_PACKAGE_MAINTAINER "Vantrel developers <vantrel@users.noreply.example.com>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${VANTREL_PACKAGE_MAINTAINER}")

include(cmake/DebianChangelog.cmake)
vantrel_debian_changelog("${CMAKE_SOURCE_DIR}/CHANGELOG.md" "${CMAKE_BINARY_DIR}/debian/changelog.gz")
install(FILES "${CMAKE_BINARY_DIR}/debian/changelog.gz" DESTINATION "${VANTREL_DOC_DIR}" COMPONENT plugin)
install(FILES "${VANTREL_PACKAGING_DIR}/lintian-overrides" DESTINATION "${vantrel_data_dir}/lintian/overrides"
        RENAME vantrel-plugin COMPONENT plugin)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[external functions plug-in for FileMaker Server on Linux
Vantrel.fmx adds external calculation functions named Vantrel_* to
FileMaker Server: version and settings, server-wide global variables,
regular-expression counting and style-aware substitution, SQL with chosen
separators, styled text to HTML, name resolution and public-address look-up,
and a shell command. A per-file allow-list, kept by the administrator,
decides which functions may run; nothing runs until it allows it.
.
The plug-in is installed into the plug-in folders of FileMaker Server's
Script Engine, Web Publishing Engine and Data API, and belongs to the
fmsadmin group where it exists. The engines load it after a restart.]=])
# Dependencies come from the libraries the binary links and the symbol versions it uses, so that the package
# installs on every release whose libraries are recent enough (Ubuntu 22.04 among them).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${VANTREL_HOST_LIBRARY_STUB_DIR}")
# Stripped plug-in; its debug symbols go into a separate -dbgsym package.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
if(CMAKE_OBJCOPY)
  set(CPACK_OBJCOPY_EXECUTABLE "${CMAKE_OBJCOPY}")
endif()
if(CMAKE_READELF)
  set(CPACK_READELF_EXECUTABLE "${CMAKE_READELF}")
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
else()
  message(FATAL_ERROR "No Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
endif()
# The maintainer scripts get the engines' folders and the plug-in's paths, one a line.
get_target_property(vantrel_output_name Vantrel OUTPUT_NAME)
get_target_property(vantrel_suffix Vantrel SUFFIX)
set(vantrel_plugin_folders "")
set(vantrel_plugin_files "")
foreach(folder IN LISTS VANTREL_ENGINE_PLUGIN_DIRS)
  list(APPEND vantrel_plugin_folders "/${folder}")
  list(APPEND vantrel_plugin_files "/${folder}/${vantrel_output_name}${vantrel_suffix}")
endforeach()
list(JOIN vantrel_plugin_folders "\n" VANTREL_PLUGIN_FOLDERS)
list(JOIN vantrel_plugin_files "\n" VANTREL_PLUGIN_FILES)
set(vantrel_maintainer_scripts "")
foreach(script preinst postinst postrm)
  configure_file("${VANTREL_PACKAGING_DIR}/${script}.in" "${CMAKE_BINARY_DIR}/debian/${script}" @ONLY
                 FILE_PERMISSIONS ${VANTREL_PLUGIN_PERMISSIONS})
  list(APPEND vantrel_maintainer_scripts "${CMAKE_BINARY_DIR}/debian/${script}")
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${vantrel_maintainer_scripts}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_COMPONENTS_ALL plugin)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES OFF)
# CPack writes an entry for every parent folder of the installed files; /opt is the system's, the folders below it
# FileMaker Server's, not ours.
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/cmake/DebianOptFolder.cmake")
include(CPack)
