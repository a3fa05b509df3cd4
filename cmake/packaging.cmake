# `make package`: one Debian package with the tester, the runner, the built-in components, the
# desktop files, the manual pages and the examples. Included last, after every install rule.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velscripttester)
set(CPACK_PACKAGE_VENDOR "The VelScriptTester developers")
set(CPACK_PACKAGE_CONTACT "The VelScriptTester developers <developers@velscript.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive test bench for VelScript script engines")
# The package's long description: lines under 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "VelScriptTester creates VelScript engine instances and calls each of\n"
    "their operations by hand: script files and text, the start and stop\n"
    "modes, state, line number, exit code, log, the engine's own window and\n"
    "its add-in objects. A reference engine with a small BASIC-style script\n"
    "language and the VelSQL object over SQLite are built in, and the\n"
    "velscript command runs scripts without the window.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME_DEFAULT ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Run-time dependencies come from the binaries themselves; the SQLite driver and the window
# system's platform plugin are loaded at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")

# Debian keeps a package's copyright and changelog in its documentation folder; a package made
# by its own developers (a native one) names the changelog changelog.gz.
set(package_doc ${CMAKE_BINARY_DIR}/package-doc)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright ${package_doc}/copyright COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog ${package_doc}/changelog @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
execute_process(COMMAND ${GZIP_EXECUTABLE} -9nf ${package_doc}/changelog)
install(FILES ${package_doc}/copyright ${package_doc}/changelog.gz
        DESTINATION ${VELSCRIPT_INSTALL_DOCDIR})

include(CPack)
