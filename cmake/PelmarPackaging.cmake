# Installation and the Debian package: the three programs, the CUPS driver, the example shop, the
# fontconfig aliases, the desktop entry with its icon and the manual pages. Included by the top-level
# CMakeLists.txt after the programs' folders, so the program targets exist when they are built.

include(GNUInstallDirs)

install(TARGETS pelmar pelmar-print tspl-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT programs)

# The CUPS driver for TSPL printers: the filter where CUPS runs filters (lib/cups/filter, not the
# multiarch library folder) and the printer description where cups-driverd lists it for
# `lpadmin -m drv:///pelmar-tspl.drv/pelmar-tspl-203.ppd` (and -300.ppd).
install(TARGETS rastertotspl RUNTIME DESTINATION lib/cups/filter COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/src/cups_driver/pelmar-tspl.drv
        DESTINATION ${CMAKE_INSTALL_DATADIR}/cups/drv COMPONENT programs)

# The example shop: copied into the user's program folder on the first start of an installed
# program (see PELMAR_INSTALL_DATADIR); pictures printed by the demo stay behind.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/shop/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pelmar/example COMPONENT programs
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        PATTERN out EXCLUDE PATTERN net EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/fixed/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pelmar/example-fixed COMPONENT programs
        PATTERN out EXCLUDE PATTERN net EXCLUDE)

# Face names of label formats (新細明體, 標楷體, Arial, ...) mapped to the installed faces: the
# file goes to conf.avail and is enabled by a link in the system's conf.d, as Debian does.
set(PELMAR_FONTCONFIG_FILE 65-pelmar-aliases.conf)
install(FILES ${PROJECT_SOURCE_DIR}/data/fontconfig/${PELMAR_FONTCONFIG_FILE}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fontconfig/conf.avail COMPONENT programs)
set(pelmar_font_link ${CMAKE_BINARY_DIR}/fontconfig/${PELMAR_FONTCONFIG_FILE})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fontconfig)
file(CREATE_LINK
     ${CMAKE_INSTALL_FULL_DATADIR}/fontconfig/conf.avail/${PELMAR_FONTCONFIG_FILE}
     ${pelmar_font_link} SYMBOLIC)
install(FILES ${pelmar_font_link} DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/fonts/conf.d
        COMPONENT programs)

install(FILES ${PROJECT_SOURCE_DIR}/data/pelmar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/pelmar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/data/man/pelmar.1 ${PROJECT_SOURCE_DIR}/data/man/pelmar-print.1
              ${PROJECT_SOURCE_DIR}/data/man/tspl-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
# The README links into docs/, so the pages and their pictures go beside it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT programs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
        COMPONENT programs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

# The Debian package. The programs know their installation folders from the build (they decide
# by them where the user's files live), so the package uses the build's own prefix: build it
# with -DCMAKE_INSTALL_PREFIX=/usr (packaging/build-deb does).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmar)
set(CPACK_PACKAGE_VENDOR "Pelmar")
set(CPACK_PACKAGE_CONTACT "Pelmar developers <pelmar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "product label printing on TSPL thermal label printers")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelmar merges the records of a shop's data file (delimited or fixed byte positions, Big5 or
another code page) into label formats and prints them on TSPL thermal label printers, through
CUPS, a network socket, a device file, or the virtual printer that writes PNG pictures.
Includes the window (pelmar), the headless tool (pelmar-print), tspl-render, and a CUPS
driver for TSPL printers (the filter rastertotspl and its printer description).")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries are also found by dpkg-shlibdeps when it is there; the list below holds on its own.
find_program(PELMAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(PELMAR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libcups2, libzint2.11 | libzint2.12 | libzint2.13, fontconfig, fonts-arphic-uming, fonts-arphic-ukai, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package test builds the .deb from this tree and lists its contents.
if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
  add_test(NAME package_contents
           COMMAND ${PROJECT_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package_contents PROPERTIES LABELS package SKIP_RETURN_CODE 77
                                                   TIMEOUT 300 RUN_SERIAL TRUE)
endif()
