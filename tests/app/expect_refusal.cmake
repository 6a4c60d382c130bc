# Runs a program that must refuse its input: it fails, and its error output
# says why.
#   cmake "-DCOMMAND=prog;args" -DMESSAGE=text -P expect_refusal.cmake
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE result ERROR_VARIABLE said OUTPUT_VARIABLE out)
if(result EQUAL 0)
  message(FATAL_ERROR "${COMMAND} succeeded; it should have refused its input")
endif()
string(FIND "${said}" "${MESSAGE}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${COMMAND} failed without saying \"${MESSAGE}\"; it said: ${said}${out}")
endif()
