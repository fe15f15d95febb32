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

# Debian ships manual pages and changelogs compressed; they are packed reproducibly (no name or
# time stamp in the gzip header), so that the same sources give the same package.
find_program(THRONGKIT_GZIP gzip REQUIRED)
function(throngkit_gzipped source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gzipped
        COMMAND ${THRONGKIT_GZIP} -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
endfunction()
set(gzipped ${PROJECT_BINARY_DIR}/gzipped)
throngkit_gzipped(${THRONGKIT_LINUX_DIR}/throngkit.1 ${gzipped}/throngkit.1.gz)
throngkit_gzipped(${THRONGKIT_LINUX_DIR}/changelog ${gzipped}/changelog.gz)
add_custom_target(throngkit_gzipped ALL DEPENDS ${gzipped}/throngkit.1.gz ${gzipped}/changelog.gz)
install(FILES ${gzipped}/throngkit.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence and the changelog where Debian looks for them. The package is native (its version
# has no Debian revision: the project makes it itself), so its changelog is changelog.gz.
install(FILES ${THRONGKIT_LINUX_DIR}/copyright ${gzipped}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/throngkit)

# CPack: `cpack -G DEB` in a configured build directory gives throngkit_<version>_<arch>.deb,
# installing under /usr whatever CMAKE_INSTALL_PREFIX the build was configured with.
set(CPACK_PACKAGE_NAME throngkit)
set(CPACK_PACKAGE_VENDOR "Throngkit")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rabble generator for RuneQuest and Traveller referees")
set(CPACK_PACKAGE_CONTACT "Throngkit maintainers <throngkit@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# CPack's Debian script with a correction of ours (cmake/cpack/Internal/CPack/CPackDeb.cmake).
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/cpack)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": Debian keeps that section for packages with a game in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
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

# The package is the same, byte for byte, whenever it is made from the same commit: every file in
# it carries the time of that commit (CPack stamps them with SOURCE_DATE_EPOCH), found when cpack
# runs, unless the caller set one. Outside a git checkout the time of packing stands.
find_package(Git QUIET)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND EXISTS "@GIT_EXECUTABLE@")
    execute_process(COMMAND "@GIT_EXECUTABLE@" -C "@PROJECT_SOURCE_DIR@" log -1 --format=%ct
        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
        RESULT_VARIABLE status)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
    endif()
endif()
]] @ONLY)

include(CPack)
