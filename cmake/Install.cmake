# Installation: `cmake --install <build>` (prefix ~/.local unless given) puts the
# application folder in <prefix>/lib/tamborly, a launcher in <prefix>/bin, a
# desktop entry, the icon and the AppStream metadata; the target `uninstall` takes
# them away again. cmake/Package.cmake makes the same install into a Debian package.
# The settings file lives in the application folder while that folder is writable
# (a per-user install), else in the user's $XDG_CONFIG_HOME/tamborly.

# The application folder as the build made it; a settings file of the build's
# own runs stays behind.
install(DIRECTORY "${TAMBORLY_APP_DIR}/" DESTINATION lib/tamborly USE_SOURCE_PERMISSIONS
  PATTERN "*.ini" EXCLUDE)

# The launcher finds the application folder beside its own folder, so the
# install can be moved or staged with DESTDIR.
install(PROGRAMS "${CMAKE_CURRENT_LIST_DIR}/tamborly-launcher.sh" DESTINATION bin RENAME tamborly)

# `cmake --install --strip`, and the Debian package: the binaries of the
# application folder without their debugging information.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  foreach(binario tamborly tamborly-play libSnMidi32.so)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/tamborly/\${binario}\")
  endforeach()
endif()")

install(FILES "${TAMBORLY_APP_DIR}/tamborly.svg" DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${TAMBORLY_APP_DIR}/tamborly.png" DESTINATION share/icons/hicolor/256x256/apps)

# The release the AppStream metadata announces: bump it with the project's version.
set(TAMBORLY_RELEASE_DATE 2026-12-09)
configure_file("${CMAKE_SOURCE_DIR}/packaging/io.github.tamborly.Tamborly.metainfo.xml.in"
  "${CMAKE_BINARY_DIR}/packaging/io.github.tamborly.Tamborly.metainfo.xml" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/packaging/io.github.tamborly.Tamborly.metainfo.xml" DESTINATION share/metainfo)

# The desktop entry names the launcher by its installed path (~/.local/bin is not
# always on the PATH of a desktop session), and the prefix is only known when
# installing (`cmake --install build --prefix DIR`), so it is configured then.
install(CODE "set(TAMBORLY_DESKTOP_IN \"${CMAKE_SOURCE_DIR}/packaging/tamborly.desktop.in\")
set(PROJECT_VERSION \"${PROJECT_VERSION}\")")
install(SCRIPT "${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake")

if(NOT TARGET uninstall)
  add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFESTO=${CMAKE_BINARY_DIR}/install_manifest.txt
            -P "${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake"
    COMMENT "Removing the installed Tamborly")
endif()
