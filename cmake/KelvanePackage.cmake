# The Debian package: `cpack -G DEB` in the build folder makes
# kelvane_VERSION_ARCH.deb from the install rules (cmake/KelvaneInstall.cmake)
# under /usr. Its dependencies are read from the libraries the binaries link
# (dpkg-shlibdeps), plus a General MIDI soundfont for the built-in synthesizer,
# which is loaded at run time and so invisible to shlibdeps.
set(KELVANE_PACKAGE_MAINTAINER "Kelvane developers <kelvane@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelvane developers")
set(CPACK_PACKAGE_CONTACT "${KELVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | sf2-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "live-performance instrument played from eight switches
Kelvane turns eight switches into an instrument. Each switch carries a MIDI
note, velocity, channel and program, and is pressed with the mouse, from the
computer keyboard or from foot pads and dance mats wired to game controllers.
Without MIDI hardware it plays through its built-in General MIDI synthesizer.")

include(CPack)
