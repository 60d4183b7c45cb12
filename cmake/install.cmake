# Installing on Linux: the programs in bin/, the desktop entry, the product
# files' MIME type, the icon in the hicolor theme, the man pages, the release
# notes in share/velmor/ (whose presence also tells an installed program to
# keep its data per user) and the package's documents. `cpack -G DEB` makes
# the Debian package of it (scripts/package.sh).
include(GNUInstallDirs)

set(velmor_packaging ${CMAKE_SOURCE_DIR}/packaging)

install(FILES ${velmor_packaging}/velmor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${velmor_packaging}/velmor-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME velmor.xml)
install(FILES ${velmor_packaging}/icons/velmor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${velmor_packaging}/icons/velmor-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velmor.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/docs/whatsnew.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/velmor)

# Man pages and the changelog go in compressed, without time stamps, as
# Debian wants them.
find_program(VELMOR_GZIP gzip REQUIRED)
set(velmor_compressed ${CMAKE_BINARY_DIR}/compressed)
file(MAKE_DIRECTORY ${velmor_compressed})
set(velmor_compressed_files)
foreach(page velmor.1 velmor-cli.1)
  add_custom_command(OUTPUT ${velmor_compressed}/${page}.gz
                     COMMAND ${VELMOR_GZIP} -9n -c ${velmor_packaging}/man/${page} > ${velmor_compressed}/${page}.gz
                     DEPENDS ${velmor_packaging}/man/${page} VERBATIM)
  list(APPEND velmor_compressed_files ${velmor_compressed}/${page}.gz)
  install(FILES ${velmor_compressed}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${velmor_compressed}/changelog.gz
                   COMMAND ${VELMOR_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/docs/whatsnew.txt > ${velmor_compressed}/changelog.gz
                   DEPENDS ${CMAKE_SOURCE_DIR}/docs/whatsnew.txt VERBATIM)
list(APPEND velmor_compressed_files ${velmor_compressed}/changelog.gz)
add_custom_target(velmor_compressed_docs ALL DEPENDS ${velmor_compressed_files})
install(FILES ${velmor_compressed}/changelog.gz ${velmor_packaging}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmor developers")
set(CPACK_PACKAGE_CONTACT "Velmor developers <maintainers@velmor.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the product files of Garmin map sets")
# The summary above is the synopsis; CPack indents these lines and turns
# the empty one into the " ." of a paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmor opens a map product's product file (.tdb), the file MapSource and
BaseCamp read to learn what a map product is, shows every block and field,
lets them be changed within the rules of the file's version and writes the
file back with a fresh CRC-32 checksum block and a one-time backup.

Around the editor stand the last steps of a map maker: the registry file
that installs a product into MapSource and BaseCamp (run under Wine) and
the list of installed products. The package holds the desktop program and
the command-line tool velmor-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmor.example.org/")
# The Debian Qt 6 and ICU runtime packages (and the C and C++ libraries),
# as dpkg-shlibdeps finds them from the programs' own libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine, mkgmap")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
