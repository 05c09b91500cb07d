# Runs both programs on a fresh copy of the sample collection:
#   cmake -DSOURCE=... -DDEST=... -DEARLIST=... -DEARPAGES=... -P run_sample.cmake
file(REMOVE_RECURSE "${DEST}")
file(COPY "${SOURCE}/" DESTINATION "${DEST}")
foreach(program IN ITEMS "${EARLIST}" "${EARPAGES}")
    execute_process(COMMAND "${program}" WORKING_DIRECTORY "${DEST}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${program} ended with status ${status}")
    endif()
endforeach()
message(STATUS "Wrote ${DEST}/ears_dir.txt and ${DEST}/ears_zek1.htm")
