# The Debian package: CPack's DEB generator over the project's install rules. Library
# dependencies come from dpkg-shlibdeps reading what the installed ELF files link; the others are
# what the program runs at run time without linking it. Built by tools/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solvane)
set(CPACK_PACKAGE_VERSION ${SOLVANE_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrin Software")
set(CPACK_PACKAGE_CONTACT "Kestrin Software <packages@kestrinsoftware.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated coast screensaver with clock, weather and news")
set(CPACK_PACKAGE_DESCRIPTION [=[Solvane Screensaver shows a coast at golden hour: seagulls fly along their
paths over the sea while a music track loops. Along the bottom edge it can
show a clock, the current weather and tomorrow's forecast for a chosen place,
and a ticker with the headlines of a news channel.

It runs as an XScreenSaver hack, under xss-lock or xautolock on X11 window
managers, and under swayidle on Wayland compositors.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The gadgets' texts are set in Arial's metrics; Liberation is the metric-compatible face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# F2 and F3 open web pages through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xss-lock | swayidle")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
