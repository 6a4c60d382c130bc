#pragma once
// Hands a file to the desktop's spreadsheet program in a separate process and
// returns without waiting for it.
#include <filesystem>

namespace lanqi {

// Tries xdg-open, then LibreOffice (soffice, libreoffice). Throws
// WorkbookError naming the file when it is missing or no program is found.
void showOnDesktop(const std::filesystem::path& file);

} // namespace lanqi
