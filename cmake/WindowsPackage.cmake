# What the Windows program ships with, beside throngkit.exe, throngkit.com, the engine, the
# windows' module and the tables: the DLLs they load (Qt's and the compiler's runtime), the Qt
# plugins that Qt loads by name (the Windows platform and its style; x86_64-w64-mingw32-objdump
# -p over the folder shows that nothing else is loaded), the licences and the note of where Qt
# came from. The target throngkit_windows_package makes the installer and the zip of that folder.
get_filename_component(qt_prefix ${QT6_INSTALL_PREFIX} ABSOLUTE)
foreach(module Core Gui Widgets PrintSupport)
    install(FILES ${qt_prefix}/${QT6_INSTALL_BINS}/Qt6${module}.dll DESTINATION .)
endforeach()
install(FILES ${qt_prefix}/${QT6_INSTALL_PLUGINS}/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${qt_prefix}/${QT6_INSTALL_PLUGINS}/styles/qwindowsvistastyle.dll DESTINATION styles)

# The compiler's runtime, stripped as Qt's DLLs are (libstdc++-6.dll is 24 MB as Debian has it).
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${PROJECT_BINARY_DIR}/runtime/${dll} ${path}
        COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${PROJECT_BINARY_DIR}/runtime/${dll} DESTINATION .)
endforeach()

# Throngkit's licence, Qt's (the LGPL-3.0 and the texts its files name) with the note of its
# source, and those of the compiler's runtime (GCC's runtime library exception, mingw-w64's).
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/licenses/LICENSE.txt COPYONLY)
install(FILES ${PROJECT_BINARY_DIR}/licenses/LICENSE.txt DESTINATION .)
install(DIRECTORY ${qt_prefix}/LICENSES/ DESTINATION licenses/Qt)
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/Qt-source.txt DESTINATION licenses/Qt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licenses/gcc-runtime RENAME copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licenses/mingw-w64 RENAME copyright.txt)

find_program(THRONGKIT_MAKENSIS makensis REQUIRED)
find_program(THRONGKIT_PYTHON python3 REQUIRED)
find_package(Git QUIET)
add_custom_target(throngkit_windows_package
    COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
            -DVERSION=${PROJECT_VERSION} -DMAKENSIS=${THRONGKIT_MAKENSIS} -DPYTHON=${THRONGKIT_PYTHON}
            -DGIT=${GIT_EXECUTABLE} -P ${PROJECT_SOURCE_DIR}/cmake/MakeWindowsPackage.cmake
    DEPENDS throngkit throngkit_console throngkit_desktop throngkit_tables
    COMMENT "Making the Windows installer and zip" VERBATIM)
