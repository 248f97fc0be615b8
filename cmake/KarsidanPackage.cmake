# The Debian package: `cpack -G DEB` in the build folder packs what
# `cmake --install` installs, under /usr, with Depends computed from the
# linked libraries (dpkg-shlibdeps).

set(CPACK_PACKAGE_NAME karsidan)
set(CPACK_PACKAGE_VENDOR "KARSIDAN developers")
set(CPACK_PACKAGE_CONTACT "${KARSIDAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Triple DES text encryption with transfer to another copy")
set(CPACK_PACKAGE_DESCRIPTION
    "KARSIDAN protects a text with Triple DES (three independent keys,\n"
    "encrypt-decrypt-encrypt, electronic codebook mode) and hands the cipher\n"
    "text, a line of upper-case hexadecimal digits, to another running copy\n"
    "over TCP. The window (karsidan) and the command line (karsidan-cli)\n"
    "share the same engine. Captions and messages are Indonesian.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside what the linker records: Qt's platform plugins (xcb, wayland
# loader) live in their own package, and the window asks for Arial and
# Courier New, whose metric twins Liberation provides.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
