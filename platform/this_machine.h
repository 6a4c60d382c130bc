#pragma once
// What the program can learn about this machine to judge whether a
// workbook's lock file is still held: the machine's name and the programs
// running on it.
#include <string>
#include <vector>

namespace lanqi::platform {

// The machine's network name, as spreadsheet programs write it into their
// lock files; empty when the system does not tell.
std::string hostName();

// The file names of the programs running on this machine, in lower case
// ("soffice.bin", "et", "excel.exe"), each once. Processes the system does not
// show are missing.
std::vector<std::string> runningProgramNames();

} // namespace lanqi::platform
