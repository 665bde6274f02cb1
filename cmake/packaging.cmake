# The Debian package: `cpack -G DEB` in the build directory writes
# torvika_<version>_amd64.deb. The program goes to /usr/bin, the shipped
# scripts and templates to /usr/share/torvika (from where the program copies
# them into each user's $XDG_DATA_HOME/torvika), with a desktop entry, an
# icon and manual pages in their freedesktop and Debian places.
include(GNUInstallDirs)

install(TARGETS torvika torvika-fiscal-printer torvika-fiscal-http RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/scripts/ DESTINATION ${CMAKE_INSTALL_DATADIR}/torvika/SQLs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/documentations/ DESTINATION ${CMAKE_INSTALL_DATADIR}/torvika/Documentations
        PATTERN .keep EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/torvika.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/torvika.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages, compressed as Debian keeps them (gzip -n: no time stamp).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(TORVIKA_MAN_PAGES torvika torvika-fiscal-printer torvika-fiscal-http)
set(man_outputs)
foreach(page ${TORVIKA_MAN_PAGES})
  configure_file(${CMAKE_SOURCE_DIR}/packaging/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${CMAKE_BINARY_DIR}/man/${page}.1
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1 VERBATIM)
  list(APPEND man_outputs ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(torvika_man ALL DEPENDS ${man_outputs})

# The copyright file Debian expects of every package.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvika)
set(CPACK_PACKAGE_VENDOR "ТОРВИКА")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ТОРВИКА <torvika@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "trade program for small businesses: till, stock, service desk, fiscal service")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "trade program for small businesses: till, stock, service desk, fiscal service\n\
 ТОРВИКА keeps the articles, warehouses, stock, clients and suppliers of a\n\
 small business in one company database (SQLite, or PostgreSQL for several\n\
 tills) and serves a shop with a point of sale that sends its receipts to a\n\
 fiscal printer, a service desk for repairs, and a service centre that\n\
 registers cash registers with the tax office.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link (Qt, SQLite, libpq) are found by
# dpkg-shlibdeps; the Qt database drivers the program loads at run time
# (and the PostgreSQL client library under the server driver) are not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, libpq5, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql")
include(CPack)
