# `cpack -G DEB` (in the build folder): tallowin_VERSION_amd64.deb from what
# `cmake --install` installs, under /usr. The libraries it links come from
# dpkg-shlibdeps; what it loads or draws with at run time is listed here.
set(CPACK_PACKAGE_NAME tallowin)
set(CPACK_PACKAGE_VENDOR "Tallowin")
set(CPACK_PACKAGE_CONTACT "Tallowin developers <tallowin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk usage analyzer with a folder tree and a pie chart")
set(CPACK_PACKAGE_DESCRIPTION "Pick a mounted file system and press Go: Tallowin walks it, sums every
folder and shows a live tree of folders captioned with their size, and a
3-D pie chart of how the selected folder divides among its children.
tallowin --report PATH prints the same tree as text; tallowin --export PATH
saves a scan in the common JSON export format, which opens anywhere.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X platform plugin is loaded, not linked; the window's fonts are
# Liberation Sans and, in the about window, URW Z003.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, qt6-translations-l10n")
include(CPack)
