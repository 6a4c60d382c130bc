#pragma once
#include <filesystem>

namespace lanqi {

// The workbook beside the executable.
std::filesystem::path workbookPath();

} // namespace lanqi
