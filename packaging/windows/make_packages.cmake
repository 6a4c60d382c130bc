# Stages the files under plain names, then makes the portable .zip (Python's
# zipfile marks the Chinese names as UTF-8, which Windows reads) and the
# installer. Run by the windows_packages target.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE} ${PACKAGES})
file(COPY_FILE ${LANQI} ${STAGE}/lanqi.exe)
file(COPY_FILE ${TALLY} ${STAGE}/lanqi-tally.exe)
file(COPY_FILE ${WORKBOOK} ${STAGE}/workbook.xls)
file(COPY_FILE ${STATEMENT} ${STAGE}/statement.xls)
file(COPY_FILE ${README} ${STAGE}/readme.txt)
file(COPY_FILE ${ICON} ${STAGE}/lanqi.ico)
execute_process(COMMAND ${STRIP} ${STAGE}/lanqi.exe ${STAGE}/lanqi-tally.exe
                COMMAND_ERROR_IS_FATAL ANY)

set(portable ${STAGE}/${STEM})
file(MAKE_DIRECTORY ${portable})
file(COPY_FILE ${STAGE}/lanqi.exe ${portable}/lanqi.exe)
file(COPY_FILE ${STAGE}/lanqi-tally.exe ${portable}/lanqi-tally.exe)
file(COPY_FILE ${WORKBOOK} ${portable}/账单明细.xls)
file(COPY_FILE ${STATEMENT} ${portable}/对账单.xls)
file(COPY_FILE ${README} ${portable}/说明.txt)
file(REMOVE ${ZIP})
execute_process(COMMAND ${PYTHON} -m zipfile -c ${ZIP} ${portable}
                COMMAND_ERROR_IS_FATAL ANY)

execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DSTAGE=${STAGE}
                        -DOUTFILE=${SETUP} ${SCRIPT}
                COMMAND_ERROR_IS_FATAL ANY)
