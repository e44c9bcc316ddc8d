# The Debian packages:
#
#     cmake --preset release && cmake --build --preset release
#     (cd build-release && cpack -G DEB)
#
# gives mapwright (the "runtime" install component: the program under
# /usr/bin, the demo maps under /usr/share/mapwright, the desktop entry, the
# icons, the manual pages, the copyright and the changelog), libvyn0 (the
# shared libraries) and libvyn-dev (headers, CMake and pkg-config files, the
# Designer plugin, the API reference). Qt dependencies come from dpkg-shlibdeps. A static build
# (the dev preset) packages the program alone.
set(CPACK_PACKAGE_NAME mapwright)
set(CPACK_PACKAGE_VENDOR "Mapwright developers")
set(CPACK_PACKAGE_CONTACT "Mapwright developers <mapwright@example.invalid>")
# Each package's description is its own, its first line the synopsis (so no
# CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it before each); the
# lines of the extended descriptions have at most 80 characters.
set(mapwright_summary "Common-rail diesel injection map conversion")
# (Equal to CPack's own default, which it does not put before a description;
# it would take the project's description otherwise.)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_DESCRIPTION
    "Paste a rail pressure, an injection duration and a start-of-injection map:
Mapwright re-grids them onto one set of axes and shows the injection duration
in crank degrees and the end of injection, coloured against thresholds. It
solves the start of injection for a wanted end of injection and explains any
cell through the chain; mapwright convert, retime and explain do the same on
the command line.")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "${mapwright_summary}\n${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
# Three packages: mapwright (the program, its demo maps, manual pages,
# desktop entry), libvyn0 (the shared VYN libraries of the release build) and
# libvyn-dev (headers, CMake and pkg-config files, the Qt Designer plugin,
# the API reference in /usr/share/doc/vyn/html).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
if(VYN_SHARED)
    set(CPACK_COMPONENTS_ALL runtime libraries development)
else()
    # A static build's program carries the library within: one package.
    set(CPACK_COMPONENTS_ALL runtime)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(vyn_version "${PROJECT_VERSION}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME mapwright)
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_NAME libvyn0)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libvyn-dev)
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The libraries' own dependencies between the packages; their Qt ones come
# from dpkg-shlibdeps, which takes the VYN libraries as this build's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/platform ${CMAKE_BINARY_DIR}/components)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
# ldconfig runs by trigger, as Debian has it: maintainer scripts of our own
# keep CPack from adding ldconfig calls.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/libvyn0/triggers
    ${PROJECT_SOURCE_DIR}/resources/debian/libvyn0/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/libvyn0/postrm)
# The SQLite driver is a plug-in that Qt loads at run time: no shared-library
# dependency shows it.
if(VYN_SHARED)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
        "libvyn0 (= ${vyn_version}), libqt6sql6-sqlite, fonts-liberation2 | fonts-dejavu-core")
else()
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
        "libqt6sql6-sqlite, fonts-liberation2 | fonts-dejavu-core")
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libvyn0 (= ${vyn_version}), qt6-base-dev, qt6-serialport-dev")
set(CPACK_DEBIAN_LIBRARIES_DESCRIPTION "VYN component library (shared libraries)
The VYN component library beside Mapwright: a rich-text log view, read-only
aware edits, data-aware edits and grid export, a serial port with worker
threads and its settings dialog, lamps, a settings store, version
information, message and language dialogs.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "VYN component library (development files)
Headers, CMake package (find_package(Vyn)), pkg-config files (vyn-core,
vyn-widgets), the Qt Designer plugin that puts the VYN widgets in the
widget box's group VYN, and the API reference in /usr/share/doc/vyn/html.")

set(CPACK_STRIP_FILES ON)
include(CPack)
