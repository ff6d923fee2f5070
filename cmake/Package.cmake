# `cpack -G DEB` (or plain `cpack`) in the build folder: the install of
# cmake/Install.cmake under /usr as tamborly_<version>_amd64.deb. Its Depends are
# the shared libraries the binaries need (dpkg-shlibdeps, from dpkg-dev) plus what
# the program loads by name: a General MIDI soundfont, Qt's SQLite driver (the
# practice history) and the font the windows are laid out for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamborly)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Tamborly")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drum rhythm player with an animated drum kit")
set(CPACK_PACKAGE_DESCRIPTION "Tamborly plays drum rhythms from Standard MIDI Files, or from its
bundled rhythm styles, while a drum kit on screen shows every stroke. Loop a
section, change the tempo, mute the song's drums and play the kit from the
computer keyboard or an electronic drum kit; every hit is scored.")
set(CPACK_PACKAGE_CONTACT "Tamborly developers <maintainers@users.noreply.c-seed-0b9185b9.example>")
# The desktop entry is written with the prefix the install sees: /usr, staged
# under DESTDIR, not the staging folder itself.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Every install rule is of the default component; naming it makes cpack keep its
# install record apart (install_manifest_Unspecified.txt), so the `uninstall`
# target still removes the user's own `cmake --install`, not the package's files.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};tamborly;Unspecified;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tamborly.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The soundfonts the driver library looks for, in its order of preference.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fluid-soundfont-gm | timgm6mb-soundfont, libqt6sql6-sqlite, fonts-dejavu-core")
# Qt's own texts (dialog buttons) in the program's other language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pavucontrol")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
