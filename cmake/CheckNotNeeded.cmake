# Fails when an executable names a shared library among those it needs, for a library it is to
# open itself when first used, so that a run that never uses it does not load it. Run by CTest:
#   cmake -DREADELF=<readelf> -DBINARY=<executable> -DLIBRARY=<regex> -P cmake/CheckNotNeeded.cmake
cmake_minimum_required(VERSION 3.25)

foreach(variable READELF BINARY LIBRARY)
    if(NOT ${variable})
        message(FATAL_ERROR "CheckNotNeeded: ${variable} is not set")
    endif()
endforeach()

execute_process(COMMAND ${READELF} -d ${BINARY} OUTPUT_VARIABLE dynamic ERROR_VARIABLE error
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "CheckNotNeeded: ${READELF} -d ${BINARY} failed: ${error}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
# An executable that needs nothing is not what was meant to be checked (a static or a
# missing build): the check would pass whatever it linked.
if(NOT needed)
    message(FATAL_ERROR "CheckNotNeeded: ${BINARY} names no shared library at all")
endif()
foreach(entry IN LISTS needed)
    # "... (NEEDED)  Shared library: [libname.so.N]"
    string(REGEX MATCH "\\[(.*)\\]" bracket "${entry}")
    set(library "${CMAKE_MATCH_1}")
    if(library MATCHES "${LIBRARY}")
        message(FATAL_ERROR "${BINARY} needs ${library}, a library it is to open only "
                            "when first used")
    endif()
endforeach()
