#pragma once
#include <filesystem>

namespace lanqi {

// The workbook the program works on: beside the executable in a portable
// folder, else the user's own copy in the user's data folder, made from the
// shipped one when there is none yet.
std::filesystem::path workbookPath();

} // namespace lanqi
