#pragma once
#include "tally/sheet.h"
#include "workbook/busy_lock.h"
#include "workbook/spreadsheet.h"

#include <filesystem>

namespace lanqi {

// Stores the diameter classes, bounds, unit prices and block 1's log length
// in both saved-fields areas of the store sheet and saves the workbook.
// Throws WorkbookError; the workbook file is then as it was.
void storeSettings(const TallySheet& sheet, SpreadsheetApplication& app,
                   const std::filesystem::path& workbook, OtherLock other = OtherLock::Refuse);

} // namespace lanqi
