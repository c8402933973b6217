# The Debian package: `cpack --config build/CPackConfig.cmake` (./run.sh package)
# writes build/package/korvelconfig_<version>_<arch>.deb.
set(KORVEL_PACKAGE_MAINTAINER "KorvelConfig developers <korvelconfig@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvelconfig)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGE_CONTACT ${KORVEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration and service tool for Korvel control systems")
set(CPACK_PACKAGE_DESCRIPTION
    "KorvelConfig talks to the bus controller of a Korvel control system over a\n"
    "serial port. It reads the system status, reads and writes the settings of the\n"
    "KX, ZR32 and VG modules, switches decoder functions for test and logs every\n"
    "frame on the wire. korvelctl does the same from a terminal and keeps a backup\n"
    "of every module's settings that it can write back. korvelconfig-demo runs the\n"
    "program against a simulated system.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from what the programs link; the platform plugins ship
# with libqt6gui6. The dialogs were laid out for Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
