# What `cmake --install` puts where, and the Debian package made from it.
# Folders follow GNUInstallDirs, so a prefix of /usr gives the places a
# Debian desktop program uses.

install(TARGETS pagorin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop: the menu entry, the project file type and the icon.
install(FILES data/pagorin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/pagorin-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME pagorin.xml)
install(FILES data/icons/pagorin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES data/icons/${size}/pagorin.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES data/example.pagorin.Pagorin.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page, compressed as man expects it.
set(PAGORIN_MAN_PAGE ${CMAKE_BINARY_DIR}/pagorin.1.gz)
add_custom_command(
  OUTPUT ${PAGORIN_MAN_PAGE}
  COMMAND gzip -9 --no-name --stdout ${PROJECT_SOURCE_DIR}/docs/pagorin.1 > ${PAGORIN_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/pagorin.1
  VERBATIM)
add_custom_target(pagorin_man_page ALL DEPENDS ${PAGORIN_MAN_PAGE})
install(FILES ${PAGORIN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The manual is a Pagorin site of its own (docs/manual: the project file,
# Templates/ and Includes/), built by the pagorin just built, on a copy in the
# build tree. The run's settings, log and file-type registration go to a
# throwaway home beside that copy; QT_QPA_PLATFORM=offscreen keeps it from
# opening a window. Only the finished pages and their style sheet are copied
# where the executable in the build folder looks for the manual, so that Help
# works before anything is installed, and only they are installed.
file(GLOB_RECURSE PAGORIN_MANUAL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual/*)
file(GLOB PAGORIN_MANUAL_TEMPLATES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/docs/manual/Templates/*.template)
set(PAGORIN_MANUAL_SITE ${CMAKE_BINARY_DIR}/manual-site)
set(PAGORIN_MANUAL_HOME ${CMAKE_BINARY_DIR}/manual-home)
set(PAGORIN_MANUAL_DIR $<TARGET_FILE_DIR:pagorin>/${PAGORIN_DATA_FROM_BIN}/manual)
set(PAGORIN_MANUAL_PAGES ${PAGORIN_MANUAL_SITE}/manual.css)
foreach(template ${PAGORIN_MANUAL_TEMPLATES})
  get_filename_component(page ${template} NAME_WE)
  list(APPEND PAGORIN_MANUAL_PAGES ${PAGORIN_MANUAL_SITE}/${page}.html)
endforeach()
set(PAGORIN_MANUAL_STAMP ${CMAKE_BINARY_DIR}/manual.stamp)
add_custom_command(
  OUTPUT ${PAGORIN_MANUAL_STAMP}
  BYPRODUCTS ${PAGORIN_MANUAL_PAGES}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PAGORIN_MANUAL_SITE} ${PAGORIN_MANUAL_HOME}
          ${PAGORIN_MANUAL_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/manual
          ${PAGORIN_MANUAL_SITE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGORIN_MANUAL_HOME}
  COMMAND ${CMAKE_COMMAND} -E env HOME=${PAGORIN_MANUAL_HOME}
          XDG_CONFIG_HOME=${PAGORIN_MANUAL_HOME}/config XDG_DATA_HOME=${PAGORIN_MANUAL_HOME}/data
          TZ=UTC LC_ALL=C QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:pagorin> /AUTO ${PAGORIN_MANUAL_SITE}/manual.pgx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGORIN_MANUAL_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${PAGORIN_MANUAL_PAGES}
          ${PROJECT_SOURCE_DIR}/data/icons/pagorin.svg ${PAGORIN_MANUAL_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${PAGORIN_MANUAL_STAMP}
  DEPENDS pagorin ${PAGORIN_MANUAL_SOURCES} ${PROJECT_SOURCE_DIR}/data/icons/pagorin.svg
  VERBATIM)
add_custom_target(pagorin_manual ALL DEPENDS ${PAGORIN_MANUAL_STAMP})

# The manual and the Sample are the program's own read-only files: Help opens
# the manual, and the program copies the Sample before opening it. They stay
# out of share/doc, which a system may leave out.
install(FILES ${PAGORIN_MANUAL_PAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/pagorin/manual)
install(FILES data/icons/pagorin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/pagorin/manual)
install(DIRECTORY Sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pagorin/Sample
        PATTERN README.md EXCLUDE)  # a tour for developers; the manual is the person's

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagorin)
set(CPACK_PACKAGE_VENDOR "Pagorin developers")
set(CPACK_PACKAGE_CONTACT "Pagorin developers <bugs@pagorin.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "website generator for hand-made web sites")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pagorin builds a web site from templates and include files: includes nested\n"
    "to any depth, the template's own variables, and dates and addresses filled\n"
    "in. It keeps news items with news lists and an RSS feed, makes version\n"
    "includes from release files, helps with META keywords, searches and replaces\n"
    "across a site, and publishes the pages by FTP, FTPS or SFTP. Builds also run\n"
    "unattended from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pagorin.example/)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries the program links are found by dpkg-shlibdeps, so the package
# depends on exactly the Debian packages that provide them. Opening pages and
# the manual in the browser goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
