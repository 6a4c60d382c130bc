#pragma once
#include <filesystem>
#include <optional>

namespace lanqi {

// The lock file that a spreadsheet program leaves beside a workbook it has
// open (LibreOffice and WPS: ".~lock.NAME#", Excel: "~$NAME"), if there is one.
// Writing the workbook then would lose one side's changes.
std::optional<std::filesystem::path> otherProgramLock(const std::filesystem::path& workbook);

// Throws WorkbookError, asking the user to close the workbook, when another
// program has it open.
void requireNotOpenElsewhere(const std::filesystem::path& workbook);

} // namespace lanqi
