# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS). CPack's data archive holds an entry for
# every parent folder of the installed files, /opt included; a package listing a folder owns it, and removing the
# package would remove it when nothing else is in it. /opt is the system's and the folders below it FileMaker
# Server's (the preinst makes the missing ones), so this drops every folder entry under ./opt and rebuilds the .deb.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(work "${package}.repack")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}")
  execute_process(COMMAND ar x "${package}" WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB data RELATIVE "${work}" "${work}/data.tar.*")
  file(GLOB control RELATIVE "${work}" "${work}/control.tar.*")
  if(NOT data STREQUAL "data.tar.gz" OR NOT control STREQUAL "control.tar.gz")
    message(FATAL_ERROR "Unexpected members in ${package}: ${data} ${control}")
  endif()
  # Unpack, then archive again every entry but the folders under ./opt, in the same order, owned by root.
  file(MAKE_DIRECTORY "${work}/root")
  execute_process(COMMAND tar -xpzf ../data.tar.gz WORKING_DIRECTORY "${work}/root" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND tar -tzf data.tar.gz WORKING_DIRECTORY "${work}" OUTPUT_FILE "${work}/entries"
                  COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS "${work}/entries" entries)
  list(FILTER entries EXCLUDE REGEX "^\\./opt/(.*/)?$")
  list(JOIN entries "\n" entries)
  file(WRITE "${work}/entries" "${entries}\n")
  file(REMOVE "${work}/data.tar.gz")
  execute_process(COMMAND tar --create --format=gnu --no-recursion --owner=0 --group=0 --numeric-owner
                          --verbatim-files-from --files-from=../entries --file=../data.tar
                  WORKING_DIRECTORY "${work}/root" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND gzip -9n data.tar WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${package}")
  execute_process(COMMAND ar rcD "${package}" debian-binary control.tar.gz data.tar.gz WORKING_DIRECTORY "${work}"
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${work}")
endforeach()
