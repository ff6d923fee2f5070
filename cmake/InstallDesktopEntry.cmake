# Run by `cmake --install` (and by cpack): writes the desktop entry from
# TAMBORLY_DESKTOP_IN with the launcher's installed path. No %f and no MIME
# types: the program takes no arguments.
set(TAMBORLY_EXEC "${CMAKE_INSTALL_PREFIX}/bin/tamborly")
# A path with blanks or other reserved characters is quoted as the desktop entry
# rules ask: inside double quotes, " ` $ and \ take a backslash.
if(TAMBORLY_EXEC MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" TAMBORLY_EXEC "${TAMBORLY_EXEC}")
  set(TAMBORLY_EXEC "\"${TAMBORLY_EXEC}\"")
  # The entry's own string escapes: a backslash is written twice.
  string(REPLACE "\\" "\\\\" TAMBORLY_EXEC "${TAMBORLY_EXEC}")
endif()
set(destino "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/tamborly.desktop")
configure_file("${TAMBORLY_DESKTOP_IN}" "${destino}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destino}")
message(STATUS "Installing: ${destino}")
