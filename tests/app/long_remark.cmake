# lanqi-tally with a remark longer than a cell holds: the line is named with
# the limit, nothing is written and the workbook stays as it was.
#   cmake -DTALLY_TOOL=... -DWORKBOOK=... -DWORK=... -P long_remark.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${WORKBOOK} ${WORK}/bill.xls)
string(REPEAT "备" 40000 remark)
file(WRITE ${WORK}/long.tally "length,1,6\nrow,1,1,30,9\nremarks,${remark}\n")
execute_process(COMMAND ${TALLY_TOOL} --bill ${WORK}/bill.xls ${WORK}/long.tally
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(status EQUAL 0)
  message(FATAL_ERROR "a 40000-character remark was taken")
endif()
foreach(part "long.tally：第 3 行" "J28" "32767")
  string(FIND "${errors}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the message does not name ${part}: ${errors}")
  endif()
endforeach()
file(SHA256 ${WORKBOOK} before)
file(SHA256 ${WORK}/bill.xls after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "the workbook was changed")
endif()
