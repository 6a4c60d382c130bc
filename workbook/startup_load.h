#pragma once
#include "tally/sheet.h"
#include "workbook/spreadsheet.h"

#include <filesystem>

namespace lanqi {

// Fills the lists, the foot caption and the stored fields of the sheet from
// the store sheet of the workbook. Opens the workbook and finds the sheet
// before it sets anything, so a failure (WorkbookError) leaves the sheet as
// it was. The workbook file is only read.
void loadFromWorkbook(TallySheet& sheet, SpreadsheetApplication& app,
                      const std::filesystem::path& workbook);

// Sets only the foot-line caption from the store sheet.
void loadFootCaption(TallySheet& sheet, SpreadsheetApplication& app,
                     const std::filesystem::path& workbook);

} // namespace lanqi
