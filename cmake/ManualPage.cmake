# vantrel_manual_page(<target> <page source> <output variable>): compresses a manual page as Debian installs manual
# pages, in a target built with everything; the variable receives the compressed file's path, for install().
function(vantrel_manual_page target source variable)
  get_filename_component(name "${source}" NAME)
  set(compressed "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
  add_custom_command(OUTPUT "${compressed}"
    COMMAND gzip -9n -c "${source}" > "${compressed}"
    DEPENDS "${source}" VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${compressed}")
  set(${variable} "${compressed}" PARENT_SCOPE)
endfunction()
