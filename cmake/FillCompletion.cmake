# cmake -DWORDS=<file of "option word..." lines> -DTEMPLATE=<in> -DOUTPUT=<out> -P FillCompletion.cmake
# Fills @option@ in the completion template with that option's words.
file(STRINGS ${WORDS} lines)
file(READ ${TEMPLATE} text)
foreach(line IN LISTS lines)
    string(REGEX MATCH "^([a-z]+) (.*)$" matched "${line}")
    string(REPLACE "@${CMAKE_MATCH_1}@" "${CMAKE_MATCH_2}" text "${text}")
endforeach()
if(text MATCHES "@[a-z]+@")
    message(FATAL_ERROR "${OUTPUT}: ${CMAKE_MATCH_0} has no words")
endif()
file(WRITE ${OUTPUT} "${text}")
