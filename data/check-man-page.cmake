# cmake -DGROFF=... -DPAGE=... -P check-man-page.cmake
# Fails when groff warns about the page: its warnings do not change its exit status.
execute_process(COMMAND ${GROFF} -K utf8 -Tutf8 -man -ww -z ${PAGE}
                RESULT_VARIABLE status ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "${PAGE}: ${warnings}")
endif()
