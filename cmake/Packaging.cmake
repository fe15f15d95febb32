# Desktop integration and the Debian package.

set(THRONGKIT_APP_ID io.github.throngkit.Throngkit)
set(THRONGKIT_LINUX_DIR ${PROJECT_SOURCE_DIR}/data/linux)

install(FILES ${THRONGKIT_LINUX_DIR}/${THRONGKIT_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${THRONGKIT_LINUX_DIR}/${THRONGKIT_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${THRONGKIT_LINUX_DIR}/${THRONGKIT_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${THRONGKIT_LINUX_DIR}/${THRONGKIT_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
# Where Debian's bash-completion looks for a command's completion, named after the command.
install(FILES ${THRONGKIT_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Debian ships its manual pages compressed; the page is packed reproducibly (no name or time
# stamp in the gzip header), so the same sources give the same package.
find_program(THRONGKIT_GZIP gzip)
if(THRONGKIT_GZIP)
    set(manpage ${PROJECT_BINARY_DIR}/man/throngkit.1.gz)
    add_custom_command(OUTPUT ${manpage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${THRONGKIT_GZIP} -9nc ${THRONGKIT_LINUX_DIR}/throngkit.1 > ${manpage}
        DEPENDS ${THRONGKIT_LINUX_DIR}/throngkit.1 VERBATIM)
    add_custom_target(throngkit_manpage ALL DEPENDS ${manpage})
else()
    set(manpage ${THRONGKIT_LINUX_DIR}/throngkit.1)
endif()
install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# CPack: `cpack -G DEB` in a configured build directory gives throngkit_<version>_<arch>.deb,
# installing under /usr whatever CMAKE_INSTALL_PREFIX the build was configured with.
set(CPACK_PACKAGE_NAME throngkit)
set(CPACK_PACKAGE_VENDOR "Throngkit")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rabble generator for RuneQuest and Traveller referees")
set(CPACK_PACKAGE_CONTACT "Throngkit maintainers <throngkit@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# One paragraph, lines under 80 columns: CPack indents them as the control file wants.
set(CPACK_PACKAGE_DESCRIPTION
    "Throngkit generates a rabble: a numbered crowd of up to 1000 non-player
fighters for a RuneQuest or Traveller game, each with an ability level, a
weapon drawn from a weighted weapon table, damage, combat figures, hit points,
armour and a code of characteristics. The rabble is shown as a fixed-width
listing that can be printed or saved as a text listing or an HTML page.
The throngkit generate command makes the same rabbles without a window.")
# The libraries come from what the program and its windows' library link (dpkg-shlibdeps, from
# dpkg-dev, reads every ELF file of the package, lib/throngkit/ too). The window system plugin is
# not linked but loaded: Qt only recommends it, and without it no window opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are laid out for Liberation Sans and the listing for Liberation Mono (the metric
# twins of Arial and Courier New): without them captions come out in smaller type.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2 | fonts-liberation")

include(CPack)
