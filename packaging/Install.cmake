# What `cmake --install` puts where (GNUInstallDirs), and the Debian package built from exactly
# those rules (Package.cmake). Included once, at the end of the top-level CMakeLists.txt, so every
# target is defined by then. Every install() rule is here; the package carries whatever is
# installed. Files that name installed paths are written when they are installed, so the paths
# follow the prefix of the install (`cmake --install build --prefix DIR`), not only the configure's.
include(GNUInstallDirs)

set(SOLVANE_VERSION 1.0.0)
# The HTTP client names the program and its version in every request.
set_property(SOURCE net/HttpRequest.cpp APPEND PROPERTY COMPILE_DEFINITIONS SOLVANE_VERSION_TEXT="${SOLVANE_VERSION}")
set(SOLVANE_RELEASE_DATE 2026-12-08)
set(SOLVANE_APP_ID com.kestrinsoftware.Solvane)
set(PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# A package build makes only what ships: every executable but the program itself (tests, bench,
# command-line tools, and the feed tool's module) leaves "all", so `cmake --build` and CPack
# compile no more than needed.
option(SOLVANE_PACKAGE_ONLY "Build only the installed program and its modules" OFF)
if(SOLVANE_PACKAGE_ONLY)
  get_property(all_targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${all_targets})
    get_target_property(type ${target} TYPE)
    if((type STREQUAL "EXECUTABLE" AND NOT target STREQUAL "solvane") OR target STREQUAL "solvane-feed-read")
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
  endforeach()
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS solvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The saver's, the settings dialog's and the idle watcher's modules and the built-in resources,
# where `solvane` looks when they are not beside the executable.
install(TARGETS solvane-saver solvane-dialog solvane-idle solvane-assets solvane-tls
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/solvane)

# XScreenSaver looks for hacks in its own folder and knows them by base name: a relative link
# keeps one program (and /proc/self/exe pointing at bin/, where its modules are found from).
file(RELATIVE_PATH hack_target
  ${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver ${CMAKE_INSTALL_FULL_BINDIR}/solvane)
file(MAKE_DIRECTORY ${PACKAGING_OUT}/hack)
file(CREATE_LINK ${hack_target} ${PACKAGING_OUT}/hack/solvane SYMBOLIC)
install(FILES ${PACKAGING_OUT}/hack/solvane DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${PACKAGING_DIR}/xscreensaver/solvane.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

install(FILES ${PACKAGING_DIR}/desktop/${SOLVANE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The program's icon (the settings window carries the same picture, built in) for the menu entry.
install(FILES ${CMAKE_SOURCE_DIR}/assets/pictures/SolvaneIcon.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME ${SOLVANE_APP_ID}.png)
# The entry and the manual page name installed paths: made at install time under the install's
# own prefix (a GNUInstallDirs folder that is absolute stays as it is).
set(install_time_paths "")
foreach(dir LIBEXECDIR DATADIR DOCDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    string(APPEND install_time_paths "set(CMAKE_INSTALL_FULL_${dir} \"${CMAKE_INSTALL_${dir}}\")\n")
  else()
    string(APPEND install_time_paths
      "set(CMAKE_INSTALL_FULL_${dir} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_${dir}}\")\n")
  endif()
endforeach()
set(SOLVANE_INSTALL_OUT ${PACKAGING_OUT}/install)
install(CODE "${install_time_paths}
  set(SOLVANE_VERSION \"${SOLVANE_VERSION}\")
  set(SOLVANE_RELEASE_DATE \"${SOLVANE_RELEASE_DATE}\")
  configure_file(\"${PACKAGING_DIR}/desktop/solvane-screensaver.desktop.in\"
    \"${SOLVANE_INSTALL_OUT}/solvane.desktop\" @ONLY)
  configure_file(\"${PACKAGING_DIR}/man/solvane.1.in\" \"${SOLVANE_INSTALL_OUT}/solvane.1\" @ONLY)
  execute_process(COMMAND gzip -9nf solvane.1 WORKING_DIRECTORY \"${SOLVANE_INSTALL_OUT}\")")
install(FILES ${SOLVANE_INSTALL_OUT}/solvane.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
configure_file(${PACKAGING_DIR}/metainfo/${SOLVANE_APP_ID}.metainfo.xml.in
  ${PACKAGING_OUT}/${SOLVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PACKAGING_OUT}/${SOLVANE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog go out compressed, as Debian's policy wants them.
configure_file(${PACKAGING_DIR}/doc/changelog ${PACKAGING_OUT}/changelog COPYONLY)
add_custom_command(OUTPUT ${PACKAGING_OUT}/changelog.gz
  COMMAND gzip -9nkf changelog
  DEPENDS ${PACKAGING_OUT}/changelog
  WORKING_DIRECTORY ${PACKAGING_OUT} VERBATIM)
add_custom_target(solvane-docs ALL DEPENDS ${PACKAGING_OUT}/changelog.gz)
install(FILES ${SOLVANE_INSTALL_OUT}/solvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PACKAGING_OUT}/changelog.gz ${PACKAGING_DIR}/doc/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(${PACKAGING_DIR}/Package.cmake)
