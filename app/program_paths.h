#pragma once
#include <filesystem>

namespace lanqi {

// The folder of the running executable.
std::filesystem::path programFolder();

// The workbook beside the executable.
std::filesystem::path workbookPath();

} // namespace lanqi
