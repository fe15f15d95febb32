# A Windows build made on Linux runs its programs under Wine: GoogleTest's discovery at build
# time, the tests, and the comparisons with the Linux build. wine-run.sh is CMake's emulator for
# every target, so that ctest and the tests' ENVIRONMENT work as they do on Linux.
find_program(THRONGKIT_WINE wine REQUIRED)

# The DLLs a program of the build tree needs and finds on Wine's search path rather than beside
# it: Qt's (whose plugins Qt then finds from there) and the compiler's runtime.
set(dll_folders ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    get_filename_component(folder ${path} DIRECTORY)
    list(APPEND dll_folders ${folder})
endforeach()
set(THRONGKIT_WINE_PATH)
foreach(folder IN LISTS dll_folders)
    file(REAL_PATH ${folder} folder)
    string(REPLACE "/" "\\" folder "Z:${folder}")
    string(APPEND THRONGKIT_WINE_PATH "${folder};")
endforeach()

set(THRONGKIT_WINE_ROOT ${PROJECT_BINARY_DIR}/wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)
