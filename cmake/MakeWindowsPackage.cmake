# Makes the Windows installer and the portable zip of one install of the build (cmake -P, from
# the target throngkit_windows_package): BUILD/package/Throngkit holds what both hold, and
# BUILD/throngkit-VERSION-windows-x64-setup.exe and BUILD/throngkit-VERSION-windows-x64.zip are
# made from it. The same commit gives the same bytes: the executables carry no time stamp, the
# installer holds none, and the zip's files carry the commit's time (or SOURCE_DATE_EPOCH's).
set(package ${BUILD}/package)
set(stage ${package}/Throngkit)
file(REMOVE_RECURSE ${package})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage} --strip
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

# The installer's list of files, in name order, and its uninstaller's, which removes just those.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(install "")
set(uninstall "")
set(folders "")
set(folder "-")
foreach(file IN LISTS files)
    get_filename_component(here ${file} DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    string(REPLACE "/" "\\" windows_here "${here}")
    if(NOT here STREQUAL folder)
        set(folder ${here})
        string(APPEND install "SetOutPath \"$INSTDIR\\${windows_here}\"\n")
        if(here)
            list(PREPEND folders "${windows_here}")
        endif()
    endif()
    string(APPEND install "File \"${stage}/${file}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
list(SORT folders ORDER DESCENDING)   # a folder's subfolders before it
foreach(folder IN LISTS folders)
    string(APPEND uninstall "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE ${package}/files.nsh "${install}")
file(WRITE ${package}/unfiles.nsh "${uninstall}")

set(name throngkit-${VERSION}-windows-x64)
file(REMOVE ${BUILD}/${name}-setup.exe ${BUILD}/${name}.zip)
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DFILES=${package}/files.nsh
        -DUNFILES=${package}/unfiles.nsh -DLICENSE=${stage}/LICENSE.txt -DOUTFILE=${BUILD}/${name}-setup.exe
        ${SOURCE}/data/windows/throngkit.nsi
    COMMAND_ERROR_IS_FATAL ANY)

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND EXISTS "${GIT}")
    execute_process(COMMAND ${GIT} -C ${SOURCE} log -1 --format=%ct
        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
    endif()
endif()
execute_process(COMMAND ${PYTHON} ${SOURCE}/cmake/zipfolder.py ${package} Throngkit ${BUILD}/${name}.zip
    COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Made ${BUILD}/${name}-setup.exe and ${BUILD}/${name}.zip")
