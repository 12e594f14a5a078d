# The Debian package (make package: cpack -G DEB): what cmake --install installs, plus the manual
# page, the copyright and the changelog, with the dependencies that dpkg-shlibdeps finds in the
# executable and the libraries it loads by itself.
include(GNUInstallDirs)

# Debian wants the manual page and the changelog compressed the same way on every build.
set(zum32_package_dir ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${zum32_package_dir})
foreach(pair "zum32.6;zum32.6.gz" "changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source})
  execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/${source}
                  OUTPUT_FILE ${zum32_package_dir}/${target} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${zum32_package_dir}/zum32.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${zum32_package_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zum32)

# cpack installs what is built; it does not build every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zum32)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The zum32 developers <zum32@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_games_dir.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's X11 platform plugin, SDL2 for the
# sound (at the first cue), and the Japanese font the menus and dialogs are drawn in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsdl2-2.0-0, fonts-ipafont-gothic, fonts-dejavu-core")
# Qt's Wayland plugin, so that a Wayland desktop shows the game natively.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "hunt the bombs with nonogram clues
A single-window puzzle game that mixes bomb-hunting with nonogram clues.
The numbers left of every row and above every column give the lengths of
its runs of safe cells. Open every safe cell to clear the board; the fifth
bomb ends the game. Three levels (10x10, 15x15 and 20x20) each keep a
best-five table of times. The game's text is Japanese.")
include(CPack)
