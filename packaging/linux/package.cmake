# Install rules of the Linux program and its Debian package (cpack -G DEB): the program where
# screen-saver daemons look for display programs, the daemon's settings description, and the
# desktop entry that other desktop savers read. Included by hosts/x11/CMakeLists.txt.
include(GNUInstallDirs)

install(TARGETS lumenweave RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lumenweave.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lumenweave.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumenweave)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Lumenweave developers <lumenweave@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scripted OpenGL screen saver: coloured wings on a spinning arm")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Lumenweave draws a column of coloured squares on a spinning, flipping two-joint arm,\n\
leaving a trail of wings, driven by a built-in animation script. It runs in a window of its\n\
own or as a display program of a screen-saver daemon (lumenweave --root).")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The dependencies come from the libraries the program links, through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
include(CPack)
