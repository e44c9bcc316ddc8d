# A Debian package of the program (the "runtime" install component):
#
#     cmake --preset release && cmake --build --preset release
#     (cd build-release && cpack -G DEB)
#
# installs mapwright under /usr/bin, the demo maps under /usr/share/mapwright,
# the desktop entry, the icons, the manual pages, the copyright and the
# changelog; its Qt dependencies come from
# dpkg-shlibdeps. The library's headers and CMake files (the "development"
# component) are not part of it.
set(CPACK_PACKAGE_NAME mapwright)
set(CPACK_PACKAGE_VENDOR "Mapwright developers")
set(CPACK_PACKAGE_CONTACT "Mapwright developers <mapwright@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Common-rail diesel injection map conversion")
# The extended description: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Paste a rail pressure, an injection duration and a start-of-injection map:
Mapwright re-grids them onto one set of axes and shows the injection duration
in crank degrees and the end of injection, coloured against thresholds. It
solves the start of injection for a wanted end of injection and explains any
cell through the chain; mapwright convert, retime and explain do the same on
the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL runtime)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SQLite driver is a plug-in that Qt loads at run time: no shared-library
# dependency shows it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-liberation2 | fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
