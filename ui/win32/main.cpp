// 澜栖 on Windows: the tally window.
#include "app/program_paths.h"
#include "platform/executable_folder.h"
#include "platform/single_instance.h"
#include "program/program.h"
#include "ui/win32/run_window.h"
#include "workbook/xls_spreadsheet.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    lanqi::XlsApplication spreadsheet;
    lanqi::Program program(spreadsheet, lanqi::workbookPath(),
                           lanqi::platform::instanceLockFile(lanqi::platform::executableFolder()),
                           lanqi::statementTemplatePath());
    return lanqi::ui::win32::runWindow(instance, program, showCommand);
}
