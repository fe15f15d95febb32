# The engine (core, weapons, generate, listing) stays below its fronts: none of its files may
# include a header of the windows, the command line or the program, nor a Qt module other than
# Core. The compiler cannot refuse that by itself, since every Qt module sits under the same
# include root as QtCore; this scan does, at configure time and again at every build that
# follows a change to an engine file.
#
# As a script: cmake -DLIST_FILE=<file naming one source a line> -DSTAMP=<file> -P EngineBoundary.cmake

function(throngkit_check_engine_includes)
    set(violations)
    foreach(source IN LISTS ARGN)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            # Either quote style, and paths that climb out of the engine's folder first.
            if(line MATCHES "[<\"/](\\.\\./)*(ui|app|cli|bench|tests)/"
               OR line MATCHES "[<\"/]Qt(Gui|Widgets|PrintSupport|OpenGL|OpenGLWidgets|Svg|Quick|Qml)[/>\"]"
               OR line MATCHES "[<\"/]Q(Application|GuiApplication|Widget|MessageBox|Dialog|Printer|Painter|PrintDialog|Image|Pixmap|Icon|Font|Color)[>\"]")
                string(STRIP "${line}" line)
                list(APPEND violations "  ${source}: ${line}")
            endif()
        endforeach()
    endforeach()
    if(violations)
        list(JOIN violations "\n" text)
        message(FATAL_ERROR "The engine includes a front-end or GUI header (Qt Core only, no "
                            "ui/, cli/ or app/ headers):\n${text}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    file(STRINGS ${LIST_FILE} sources)
    throngkit_check_engine_includes(${sources})
    file(TOUCH ${STAMP})
endif()
