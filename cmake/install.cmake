# Installation and the Debian package (`make package`).
include(GNUInstallDirs)

install(TARGETS corvane corvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS corvane-cli-save LIBRARY DESTINATION ${CORVANE_SAVE_MODULE_DIR})
# The help page beside the data of the program; Help > Content also looks beside the executable,
# where the build puts it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/corvane/help)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/corvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/io.github.corvane.Corvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/corvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/corvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/man/corvane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "corvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Finds files with identical contents, byte for byte")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvane lists the folders to search, compares files of equal size byte for byte and shows every group of identical files; duplicates go to the trash. It also has a command-line front end, corvane-cli.")
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@users.noreply.github.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins Qt loads at run time, which the libraries' dependencies do not name: the X11/Wayland
# window system and the SVG pictures; recommended: fonts close to those the window layouts were measured with,
# and Qt's own translations (the standard buttons in the user's language).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra, qt6-wayland, qt6-translations-l10n, xdg-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
include(CPack)
