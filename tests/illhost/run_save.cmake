# Runs illhost --save over INPUT: the file written must be EXPECTED byte for byte, and the
# warning for a stored name type outside 16 bits must name its track.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${ILLHOST} --save ${WORK}/saved.json ${INPUT}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "illhost exited with ${rc}: ${err}")
endif()
if(NOT err MATCHES "illhost: warning: track \"t-follows\": stored name_type 70000 is outside 16 bits")
  message(FATAL_ERROR "no warning for the stored name type 70000: ${err}")
endif()
execute_process(COMMAND diff -u ${EXPECTED} ${WORK}/saved.json RESULT_VARIABLE differs OUTPUT_VARIABLE diff)
if(differs)
  message(FATAL_ERROR "saved file differs from ${EXPECTED}:\n${diff}")
endif()
