# lanqi-tally --bill when the ledger beside the workbook cannot be written (a
# folder stands in its place): the bill is written, the message says it was
# not recorded and will be with the next bill, the exit is not 0, and the
# record waits beside the ledger; once the ledger can be written the next bill
# takes the waiting one in with it.
#   cmake -DTALLY_TOOL=... -DWORKBOOK=... -DTALLY=... -DWORK=... -P unrecorded_bill.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/账单记录.db)
file(COPY_FILE ${WORKBOOK} ${WORK}/bill.xls)
execute_process(COMMAND ${TALLY_TOOL} --bill ${WORK}/bill.xls ${TALLY}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(status EQUAL 0)
  message(FATAL_ERROR "a bill that was not recorded ended with 0")
endif()
foreach(part "没有记入账单记录" "账单记录.待写入" "下次导出账单时")
  string(FIND "${errors}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the message does not say ${part}: ${errors}")
  endif()
endforeach()
file(SHA256 ${WORKBOOK} before)
file(SHA256 ${WORK}/bill.xls after)
if(before STREQUAL after)
  message(FATAL_ERROR "the bill was not written")
endif()
if(NOT EXISTS ${WORK}/账单记录.待写入)
  message(FATAL_ERROR "the record was not kept beside the ledger")
endif()

file(REMOVE_RECURSE ${WORK}/账单记录.db)
execute_process(COMMAND ${TALLY_TOOL} --bill ${WORK}/bill.xls ${TALLY}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR EXISTS ${WORK}/账单记录.待写入 OR NOT EXISTS ${WORK}/账单记录.db)
  message(FATAL_ERROR "the waiting record was not written with the next bill (${status}): ${errors}")
endif()
