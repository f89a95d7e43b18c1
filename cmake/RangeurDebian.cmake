# The Debian package: rangeur_VERSION_amd64.deb under /usr. dpkg-shlibdeps finds the libraries
# the program links; what is loaded by name at run time it cannot see, so it is declared here:
# the SVG icon engine and image plugin (libqt6svg6) that the folder chooser needs for the
# desktop's icon theme (the program's own pictures are not SVG at run time), the French
# catalogue of Qt's own texts (qt6-translations-l10n), and GIO (libglib2.0-0), which the trash
# loads on first use. The xcb platform plugin is in libqt6gui6, which the program links, so
# dpkg-shlibdeps already names it (with its version): naming it again would list it twice.
# The window's Tahoma comes from fonts-wine; without it the window falls back on another
# sans-serif, hence a recommendation. tests/desktop/test_package.py checks the control file for
# each of them.
include(GNUInstallDirs)

set(RANGEUR_MAINTAINER "The Rangeur developers <rangeur@rangeur.org>")

# Every Debian package carries its copyright file and a compressed changelog.
set(deb_doc ${PROJECT_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${deb_doc})
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/copyright ${deb_doc}/copyright COPYONLY)
include(${CMAKE_CURRENT_LIST_DIR}/RangeurRelease.cmake)
execute_process(COMMAND date -R -u -d ${RANGEUR_RELEASE_DATE}
                OUTPUT_VARIABLE changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${deb_doc}/changelog
"rangeur (${PROJECT_VERSION}) stable; urgency=medium

  * Release ${PROJECT_VERSION}.

 -- ${RANGEUR_MAINTAINER}  ${changelog_date}
")
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/rangeur.1 ${deb_doc}/rangeur.1 COPYONLY)
# gzip -n: no name or time stamp in the archive, so that two builds give the same bytes.
add_custom_command(OUTPUT ${deb_doc}/changelog.gz ${deb_doc}/rangeur.1.gz
    COMMAND gzip -9nkf ${deb_doc}/changelog ${deb_doc}/rangeur.1
    DEPENDS ${deb_doc}/changelog ${deb_doc}/rangeur.1
    VERBATIM)
add_custom_target(rangeur_debian_doc ALL DEPENDS ${deb_doc}/changelog.gz ${deb_doc}/rangeur.1.gz)
install(FILES ${deb_doc}/copyright ${deb_doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rangeur)
install(FILES ${deb_doc}/rangeur.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rangeur)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${RANGEUR_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://rangeur.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, libglib2.0-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file a handful of documents into a new folder")
# CPack puts the summary first and indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Rangeur takes the files dropped on it, or opened with it from the file
manager, asks for a folder name in a small French tool window, creates the
folder, copies every file into it and sends the originals to the trash.
File managers offer it in their action menus and in the list of all
applications to open a file with; it claims no file type, so it never
becomes what a double click opens.")
include(CPack)
