# lanqi-tally --ledger with wrong arguments, an unknown serial, a missing or
# damaged ledger: each case fails with its exit code (2 wrong arguments, 1 a
# failure) and says why; one bill is in the ledger.
#   cmake "-DTALLY_TOOL=[emulator;]lanqi-tally" -DWORKBOOK=... -DWORK=... -P ledger_refusals.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/kept ${WORK}/none ${WORK}/damaged)
set(wb ${WORK}/kept/账单明细.xls)
file(COPY_FILE ${WORKBOOK} ${wb})
file(WRITE ${WORK}/one.tally "buyer,林海木业\nlength,1,4\nrow,1,1,30,9\n")
execute_process(COMMAND ${TALLY_TOOL} --bill ${wb} ${WORK}/one.tally
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the bill was not written: ${errors}")
endif()
file(WRITE ${WORK}/damaged/账单记录.db "这不是数据库，只是一段文字。")
file(SHA256 ${wb} before)

# exit code | what the message says | arguments (@WB@: the workbook with a ledger)
set(cases
  "2|--ledger 后缺少工作簿|--ledger"
  "2|缺少命令|--ledger @WB@"
  "2|不认识的命令|--ledger @WB@ lsit"
  "2|年-月-日|--ledger @WB@ list --from 2026-13-01"
  "2|年-月-日|--ledger @WB@ list --to 2026-02-30"
  "2|年-月-日|--ledger @WB@ summary --by day --from 26-12-01"
  "2|晚于截止日期|--ledger @WB@ list --from 2026-12-31 --to 2026-12-01"
  "2|--find 后缺少内容|--ledger @WB@ list --find"
  "2|list 没有选项 --by|--ledger @WB@ list --by day"
  "2|list 多了参数|--ledger @WB@ list 20261208-001"
  "2|summary 需要 --by|--ledger @WB@ summary"
  "2|--by 应为|--ledger @WB@ summary --by week"
  "2|show 缺少单号|--ledger @WB@ show"
  "2|statement 缺少对账单文件名|--ledger @WB@ statement --from 2026-12-01"
  "2|对账单不能写到|--ledger @WB@ statement @WB@"
  "1|没有单号为 19991231-001 的账单|--ledger @WB@ show 19991231-001"
  "1|无法读取账单记录|--ledger ${WORK}/none/账单明细.xls list"
  "1|无法读取账单记录|--ledger ${WORK}/damaged/账单明细.xls summary --by month"
  "1|写入对账单失败|--ledger @WB@ statement ${WORK}/no/such/folder/对账单.xls")
set(faults "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 code)
  list(GET parts 1 says)
  list(GET parts 2 line)
  string(REPLACE "@WB@" "${wb}" line "${line}")
  separate_arguments(args UNIX_COMMAND "${line}")
  execute_process(COMMAND ${TALLY_TOOL} ${args}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE errors)
  string(FIND "${errors}" "${says}" at)
  if(NOT status STREQUAL code OR at EQUAL -1)
    list(APPEND faults "${line}: exit ${status}, said: ${errors}${out}")
  endif()
endforeach()
file(SHA256 ${wb} after)
if(NOT before STREQUAL after)
  list(APPEND faults "the workbook was changed")
endif()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
