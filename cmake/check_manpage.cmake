# Formats one manual page with every groff warning on; any output fails.
execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "${PAGE}: ${out}${err}")
endif()
