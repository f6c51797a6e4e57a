# Installation and the Debian package (`make package`).
include(GNUInstallDirs)

install(TARGETS corvane corvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The save module is private to corvane-cli, loaded with dlopen: a folder of its own, no SONAME and
# no links, so neither ldconfig nor the package's shlibs ever hear of it.
install(TARGETS corvane-cli-save LIBRARY DESTINATION ${CORVANE_SAVE_MODULE_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The help pages (English, and one per translation) beside the data of the program; Help > Content
# also looks beside the executable, where the build puts them. The translations are inside the
# program (ui/translations.cmake).
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/index.html ${PROJECT_SOURCE_DIR}/resources/help/index.de.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/corvane/help)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/corvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/io.github.corvane.corvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The type of result sets; the trigger of shared-mime-info brings it into the system's database.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/corvane-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME corvane.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/corvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/corvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Compressed the way Debian wants them: gzip -9n, no name or time inside, so that the same sources
# give the same bytes.
find_program(CORVANE_GZIP gzip REQUIRED)
set(compressed_dir ${CMAKE_BINARY_DIR}/compressed)
set(compressed_files "")
foreach(source resources/man/corvane.1 resources/man/corvane-cli.1 resources/package/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${compressed_dir}/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed_dir}
        COMMAND ${CORVANE_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/${source} > ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        VERBATIM)
    list(APPEND compressed_files ${output})
endforeach()
add_custom_target(corvane_compressed_docs ALL DEPENDS ${compressed_files})
install(FILES ${compressed_dir}/corvane.1.gz ${compressed_dir}/corvane-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${compressed_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/package/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/corvane)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "corvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds files with identical contents, byte for byte")
# The extended description: short lines, each under 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvane searches the folders you list, compares files of equal size byte for
byte and shows every group of identical files. Duplicates go to the trash,
and a search can be saved as a result set that the file manager opens.
It also has a command-line front end, corvane-cli.")
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@users.noreply.github.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/corvane/corvane")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins Qt loads at run time, which the libraries' dependencies do not name: the X11/Wayland
# window system and the SVG pictures. Recommended, and each pulls in no terminal emulator: fonts
# close to those the window layouts were measured with, Wayland's window system plugin, and Qt's
# own translations (the standard buttons in the user's language). Opening a file or its folder goes
# through the desktop's portal or the file manager (QDesktopServices), not through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra, qt6-wayland, qt6-translations-l10n")
# xdg-open, when it is there, is what Qt asks to open a file or its folder; only suggested, since its
# own recommendations bring in a terminal emulator.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")
include(CPack)
