# `cpack` in a build directory makes ferrovane_<version>_<arch>.deb (the plugin in /usr/lib/lxvst,
# which Ardour, Carla and Qtractor scan, the stand-in host in /usr/bin with its manual page, the
# README, the demo file, the copyright and the changelog in /usr/share/doc/ferrovane) and a
# .tar.gz of the same tree for other distributions. Only the `package` component goes into
# them; a plain install keeps the developers' copy of the plugin into FERROVANE_INSTALL_DIR.
install(TARGETS ferrovane LIBRARY DESTINATION lib/lxvst COMPONENT package EXCLUDE_FROM_ALL)
install(TARGETS ferrovane-host RUNTIME DESTINATION bin COMPONENT package EXCLUDE_FROM_ALL)
install(FILES README.md examples/demo.mid packaging/copyright DESTINATION share/doc/ferrovane
  COMPONENT package EXCLUDE_FROM_ALL)

# The manual page and the changelog go in compressed as Debian's policy asks: gzip -9, with
# neither name nor time stored, so that a rebuild makes the same bytes.
set(FERROVANE_DOCS ${CMAKE_BINARY_DIR}/docs)
configure_file(host/ferrovane-host.1.in ${FERROVANE_DOCS}/ferrovane-host.1 @ONLY)
add_custom_command(OUTPUT ${FERROVANE_DOCS}/ferrovane-host.1.gz ${FERROVANE_DOCS}/changelog.gz
  COMMAND gzip -9nkf ferrovane-host.1
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog changelog
  COMMAND gzip -9nf changelog
  DEPENDS ${FERROVANE_DOCS}/ferrovane-host.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
  WORKING_DIRECTORY ${FERROVANE_DOCS} VERBATIM)
add_custom_target(ferrovane_docs ALL
  DEPENDS ${FERROVANE_DOCS}/ferrovane-host.1.gz ${FERROVANE_DOCS}/changelog.gz)
install(FILES ${FERROVANE_DOCS}/ferrovane-host.1.gz DESTINATION share/man/man1
  COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${FERROVANE_DOCS}/changelog.gz DESTINATION share/doc/ferrovane
  COMPONENT package EXCLUDE_FROM_ALL)

if(FERROVANE_ARCH STREQUAL "i386")
  set(FERROVANE_DEB_ARCH i386)
else()
  set(FERROVANE_DEB_ARCH amd64)
endif()

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_COMPONENTS_ALL package)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingGenerator.cmake)
set(CPACK_PACKAGE_NAME ferrovane)
set(CPACK_PACKAGE_VENDOR Ferrovane)
set(CPACK_PACKAGE_CONTACT "Ferrovane maintainers <maintainers@ferrovane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MIDI routing matrix VST 2.x plugin for Linux hosts")
# Lines of at most 80 columns: the control file keeps the breaks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Routes 16 MIDI input channels to 16 output channels through a matrix whose"
  "every node filters event types (notes, controllers, polyphonic aftertouch,"
  "program changes, channel aftertouch, pitch bend), with a bank of 128 programs"
  "saved in the host's session and an X11 editor."
  "The plugin is installed into /usr/lib/lxvst, where Ardour, Carla and Qtractor"
  "find it. ferrovane-host shows what a host sees of it, routes MIDI files"
  "through it, opens its editor and plays it live as a JACK client.")
set(CPACK_PACKAGE_FILE_NAME ferrovane-${PROJECT_VERSION}-linux-${FERROVANE_ARCH})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${FERROVANE_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The dependencies are read from the binaries by dpkg-shlibdeps, in DebDepends.cmake: CPack's own
# reading would take the plugins under /usr/lib for libraries of the loader's path and call
# ldconfig from maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebDepends.cmake)

include(CPack)
