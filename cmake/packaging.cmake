# The Debian package, made by `cpack` in a build folder (tools/package.sh):
# vuzuduzi-2_<project version>_<architecture>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vuzuduzi-2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vuzuduzi workshop")
set(CPACK_PACKAGE_CONTACT "Vuzuduzi workshop <vuzuduzi@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.example.org/vuzuduzi/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multicoloured rose patterns as animated GIF files")
set(CPACK_PACKAGE_DESCRIPTION
"Vuzuduzi-2 is a desktop program with a Russian user interface. Each press
of its Start button invents a new pattern of concentric rose curves and
writes it as an animated GIF file of 1 to 100 frames, 10 to 1000 pixels
square, compressed or in a fast uncompressed form. Its About screen plays a
short tune through a General MIDI synthesizer, orchestrated differently each
time.

The command vuzuduzi-render makes the same pictures, and the tune as a WAV
file, from scripts.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# Library dependencies come from dpkg-shlibdeps. Qt loads its platform
# plugins at run time, so shlibdeps cannot see them; the tune needs a General
# MIDI sound font, and files and links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm | timgm6mb-soundfont, xdg-utils")

# Programs stripped as Debian strips them, and the permissions Debian
# expects whatever the umask.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip-programs.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
