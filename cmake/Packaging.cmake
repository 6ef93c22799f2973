# Installation and the Debian package: only the production plug-in, an example allow-list and the documentation.
# The emulator (libFMWrapper.so, fmhost) is never installed: on a server the host provides libFMWrapper.so.
include(GNUInstallDirs)

set(VANTREL_PLUGIN_INSTALL_DIR "/opt/FileMaker/FileMaker Server/Database Server/Extensions"
    CACHE PATH "Folder FileMaker Server loads plug-ins from")

install(TARGETS Vantrel LIBRARY DESTINATION "${VANTREL_PLUGIN_INSTALL_DIR}" COMPONENT plugin)
# The live allow-list belongs to the administrator: only an example goes under share/.
install(FILES "${CMAKE_SOURCE_DIR}/examples/zeqPluginsAllowedFunctions.txt"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/vantrel" RENAME zeqPluginsAllowedFunctions.example.txt
        COMPONENT plugin OPTIONAL)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/docs/" DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT plugin
        FILES_MATCHING PATTERN "*.md")

set(CPACK_PACKAGE_NAME "vantrel-plugin")
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantrel external functions plug-in for FileMaker Server on Linux")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <vantrel@localhost>")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "amd64")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
# Runtime libraries the plug-in links besides the host's own libFMWrapper.so.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libpcre2-16-0 (>= 10.40)")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_COMPONENTS_ALL plugin)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
