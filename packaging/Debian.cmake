# The Debian package that scripts/package builds with CPack: the program in /usr/bin, its
# desktop entry and icon, the README and the documents Debian asks for. The dependencies
# come from dpkg-shlibdeps, from what the binary links, and from what it loads (below).

set(ZEMLO_DOC_DIR share/doc/zemlo-viewer)
set(ZEMLO_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# Debian keeps the changelog and the manual page compressed, without a time stamp.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${ZEMLO_PACKAGING_OUT}/changelog @ONLY)
set(ZEMLO_COMPRESSED_DOCS)
foreach(document changelog zemlo-viewer.1)
  if(document STREQUAL changelog)
    set(source ${ZEMLO_PACKAGING_OUT}/changelog)
  else()
    set(source ${CMAKE_CURRENT_LIST_DIR}/${document})
  endif()
  add_custom_command(OUTPUT ${ZEMLO_PACKAGING_OUT}/${document}.gz
                     COMMAND gzip -9 -n -c ${source} > ${ZEMLO_PACKAGING_OUT}/${document}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND ZEMLO_COMPRESSED_DOCS ${ZEMLO_PACKAGING_OUT}/${document}.gz)
endforeach()
add_custom_target(zemlo_package_docs ALL DEPENDS ${ZEMLO_COMPRESSED_DOCS})

install(TARGETS zemlo-viewer RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/zemlo-viewer.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/zemlo-viewer.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${ZEMLO_PACKAGING_OUT}/zemlo-viewer.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright ${ZEMLO_PACKAGING_OUT}/changelog.gz
        DESTINATION ${ZEMLO_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${ZEMLO_DOC_DIR}/docs FILES_MATCHING PATTERN "*.png")

# The package is made from a finished build (scripts/package, scripts/test): installing
# need not check every target of the tree first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zemlo-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CONTACT "ZEMLO Viewer developers <zemlo-viewer@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live view and reports of measurement channels in a MySQL database")
set(CPACK_PACKAGE_DESCRIPTION "ZEMLO Viewer reads the channel settings, measurements and events that
another system writes into a MySQL or MariaDB database. It shows every
channel's newest value and alarm state, and writes the measurements and
events of a chosen range as CSV files and PDF reports. It only reads the
database.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads at run time, which no linked library names: Qt's SVG plugins (every
# picture of the program is SVG: without them the alarm dots, the tool buttons' and tabs' icons
# and the splash logo are blank), Qt's Polish texts of its dialogs ("Tak", "Nie"), and Arial's
# metric twin, with which the report's chart is laid out as its embedded font prints it. The
# X11 platform plugin and the Fusion style come with the Qt libraries themselves.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
