# Installation: `cmake --install <build>` (prefix ~/.local unless given) puts the
# application folder in <prefix>/lib/tamborly, a launcher in <prefix>/bin, a
# desktop entry and the icon; the target `uninstall` takes them away again.
# The settings file lives in the application folder, so it is written there on
# the first close; a folder the user cannot write (a system-wide install) keeps
# no settings.

# The application folder as the build made it; a settings file of the build's
# own runs stays behind.
install(DIRECTORY "${TAMBORLY_APP_DIR}/" DESTINATION lib/tamborly USE_SOURCE_PERMISSIONS
  PATTERN "*.ini" EXCLUDE)

# The launcher finds the application folder beside its own folder, so the
# install can be moved or staged with DESTDIR.
install(PROGRAMS "${CMAKE_CURRENT_LIST_DIR}/tamborly-launcher.sh" DESTINATION bin RENAME tamborly)

install(FILES "${TAMBORLY_APP_DIR}/tamborly.svg" DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${TAMBORLY_APP_DIR}/tamborly.png" DESTINATION share/icons/hicolor/256x256/apps)

# The desktop entry names the launcher by its installed path: ~/.local/bin is not
# always on the PATH of a desktop session. No %f and no MIME types: the program
# takes no arguments.
install(CODE [[
  set(destino "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications")
  file(MAKE_DIRECTORY "${destino}")
  file(WRITE "${destino}/tamborly.desktop"
"[Desktop Entry]
Type=Application
Name=Tamborly
GenericName=Drum Rhythm Player
Comment=Play drum rhythms from MIDI files and drum along on the keyboard
Exec=${CMAKE_INSTALL_PREFIX}/bin/tamborly
Icon=tamborly
Terminal=false
Categories=AudioVideo;Audio;Music;Player;
")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destino}/tamborly.desktop")
  message(STATUS "Installing: ${destino}/tamborly.desktop")
]])

if(NOT TARGET uninstall)
  add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFESTO=${CMAKE_BINARY_DIR}/install_manifest.txt
            -P "${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake"
    COMMENT "Removing the installed Tamborly")
endif()
