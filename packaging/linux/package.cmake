# Install rules of the Linux program and its packages (cpack -G DEB, cpack -G RPM): the program
# where screen-saver daemons look for display programs and a link to it on the PATH, the daemon's
# settings description, the desktop entry, the manual page, the script reference with its
# pictures, the example scripts, the licence and the changelog. Included by the top-level
# CMakeLists.txt.
include(GNUInstallDirs)

set(lumenweave_saver_dir ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
set(lumenweave_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lumenweave)
set(generated ${PROJECT_BINARY_DIR}/generated/packaging)
file(MAKE_DIRECTORY ${generated})

# The maintainer's name and address: LUMENWEAVE_MAINTAINER ("Name <address>") when CMake
# configures, as tools/package.sh does each time; otherwise a placeholder.
set(maintainer "$ENV{LUMENWEAVE_MAINTAINER}")
if(maintainer STREQUAL "")
  set(maintainer "Lumenweave developers <maintainers@lumenweave.invalid>")
endif()

# What the packages compress or rewrite is made when CMake configures, so that cpack needs no
# build step; a change to any of these sources configures again.
set(sources ${CMAKE_CURRENT_LIST_DIR}/lumenweave.6 ${CMAKE_CURRENT_LIST_DIR}/debian-changelog.sh
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/docs/script-language.md)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources})

# Maximum compression and no name or time in the header, as Debian asks of manual pages and
# changelogs.
function(lumenweave_gzip source target)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
lumenweave_gzip(${CMAKE_CURRENT_LIST_DIR}/lumenweave.6 ${generated}/lumenweave.6.gz)
# The changelog in Debian's format, which Debian's tools read in a native package's changelog.gz.
execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/debian-changelog.sh
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${maintainer} OUTPUT_FILE ${generated}/changelog
  COMMAND_ERROR_IS_FATAL ANY)
lumenweave_gzip(${generated}/changelog ${generated}/changelog.gz)

# The licence in the machine-readable copyright format, holder and text taken from LICENSE.
# Debian's name for the MIT License is Expat.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) HOLDER\" line followed by the licence text")
endif()
set(holder "${CMAKE_MATCH_1}")
string(REPLACE "\n\n" "\n.\n" license_text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " license_text "${license_text}")
file(WRITE ${generated}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Lumenweave\n\n"
  "Files: *\nCopyright: ${holder}\nLicense: Expat\n\n"
  "License: Expat\n ${license_text}\n")

# The script reference as installed: beside it lie the examples and the actuators' pictures, not
# the source tree's README and gallery, whose links become plain text.
file(READ ${PROJECT_SOURCE_DIR}/docs/script-language.md reference)
string(REPLACE "](../examples)" "](examples/)" reference "${reference}")
string(REGEX REPLACE "\\[([^]]*)\\]\\((gallery\\.md|\\.\\./README\\.md)\\)" "\\1" reference
  "${reference}")
file(WRITE ${generated}/script-language.md "${reference}")

# The program stays where the daemons look for it; the PATH gets a relative link.
file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${lumenweave_saver_dir}/lumenweave)
file(CREATE_LINK ${link_target} ${generated}/lumenweave SYMBOLIC)

install(TARGETS lumenweave RUNTIME DESTINATION ${lumenweave_saver_dir})
install(FILES ${generated}/lumenweave DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${generated}/lumenweave.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lumenweave.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lumenweave.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${generated}/copyright ${generated}/changelog.gz ${generated}/script-language.md
  DESTINATION ${lumenweave_doc_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${lumenweave_doc_dir}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/actuators/ DESTINATION ${lumenweave_doc_dir}/actuators)

set(CPACK_GENERATOR DEB RPM)
set(CPACK_PACKAGE_NAME lumenweave)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumenweave developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${maintainer})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Scripted OpenGL screen saver: coloured wings on a spinning arm")
set(CPACK_PACKAGE_DESCRIPTION "\
Lumenweave draws a column of coloured squares on a spinning, flipping
two-joint arm, leaving a trail of wings, driven by an animation script:
the built-in one, your own (lumenweave --script FILE), a link shared
from the playground (lumenweave --link ADDRESS), or several taking
turns (lumenweave --script DIR --every 10m). It runs in a
window of its own, as a display program of a screen-saver daemon
(lumenweave --root), or over every monitor until a key or a move
(lumenweave --saver, for idle programs on X11 and on Wayland). The
manual page, lumenweave(6), the script reference and example scripts
are installed with it.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The dependencies come from the libraries the program links, through dpkg-shlibdeps: among them
# libsystemd0, whose sd-bus tells the program that the machine runs on battery, and zlib1g, which
# inflates share links (--link).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Amusements/Graphics")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The requirements come from the libraries the program links, through rpmbuild's own scan
# (libsystemd.so.0 for sd-bus and libz.so.1 for share links among them).
set(CPACK_RPM_PACKAGE_AUTOREQ ON)
set(CPACK_PACKAGE_RELOCATABLE OFF)
# CPack drops weak dependencies when "rpm --suggests" fails, as Debian's rpm does without a
# package to query, so the tag goes into the RPM's own definitions here. No build-id links: the RPM
# holds the same files as the DEB.
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define packager ${maintainer}
%define _build_id_links none
Suggests: xscreensaver")
# Folders that the system's base packages own; the daemon's folders are shared with it.
list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/libexec /usr/share/man
  /usr/share/man/man6 /usr/share/applications)
include(CPack)
