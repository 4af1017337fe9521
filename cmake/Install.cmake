# Installation: the program and the files it looks for beside itself go into
# one program folder, with a link in bin/, a menu entry and the icon. CPack
# builds a .deb from the same rules.
include(GNUInstallDirs)
set(TARNWICK_PROGRAM_DIR "lib/tarnwick")

# The launcher and, beside it, the real program and the question's module.
install(TARGETS tarnwick tarnwick_bin tarnwick_question
        RUNTIME DESTINATION ${TARNWICK_PROGRAM_DIR} LIBRARY DESTINATION ${TARNWICK_PROGRAM_DIR})
install(DIRECTORY "${CMAKE_SOURCE_DIR}/Samples" DESTINATION ${TARNWICK_PROGRAM_DIR})
install(FILES "${CMAKE_SOURCE_DIR}/pointers/HAND-M.CUR" "${CMAKE_SOURCE_DIR}/pointers/drag.ico"
              "${CMAKE_SOURCE_DIR}/icons/hicolor/64x64/apps/tarnwick.png"
        DESTINATION ${TARNWICK_PROGRAM_DIR})
# The program finds its files through its real location, so a link will do.
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${TARNWICK_PROGRAM_DIR}/tarnwick\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarnwick\" SYMBOLIC)")
install(FILES "${CMAKE_SOURCE_DIR}/cmake/tarnwick.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/icons/hicolor" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
# What software centres show, the manual page (compressed, as Debian wants
# it) and the package's copyright file.
install(FILES "${CMAKE_SOURCE_DIR}/cmake/com.velmora.Tarnwick.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
add_custom_command(OUTPUT tarnwick.1.gz
    COMMAND gzip -9n -c "${CMAKE_SOURCE_DIR}/docs/tarnwick.1" > tarnwick.1.gz
    DEPENDS "${CMAKE_SOURCE_DIR}/docs/tarnwick.1")
add_custom_target(manual_page ALL DEPENDS tarnwick.1.gz)
install(FILES "${CMAKE_BINARY_DIR}/tarnwick.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${CMAKE_SOURCE_DIR}/cmake/copyright"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tarnwick")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "support@tarnwick.example")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts many office spreadsheets to PDF files at once")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "office")
# The libraries the programs link come from dpkg-shlibdeps; the office and the
# fonts are used, not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs go into the package without their debugging symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-calc, fonts-liberation")
# Without the Wayland plugin the window cannot open on a Wayland-only desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick turns spreadsheets (.ods, .ots, .sxc, .stc) into PDF files, many at a time,\n through an installed LibreOffice.")
include(CPack)
