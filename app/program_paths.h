#pragma once
#include <filesystem>

namespace lanqi {

// The workbook the program works on: beside the executable in a portable
// folder, else the user's own copy in the user's data folder, made from the
// shipped one when there is none yet.
std::filesystem::path workbookPath();

// The statement template shipped with the program: beside the executable, or
// in a system install's shared folder.
std::filesystem::path statementTemplatePath();

} // namespace lanqi
