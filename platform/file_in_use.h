#pragma once
// Whether another program has a file open in a way that forbids writing it
// now. On Windows, Excel and WPS keep an open workbook with write sharing
// denied. On Linux only record locks are seen: LibreOffice takes none on a
// workbook it shows (its lock file beside the workbook tells instead).
#include <filesystem>

namespace lanqi::platform {

enum class FileUse {
    Free,    // nothing that the system knows of holds it
    InUse,   // another program holds it
    Unknown, // the system could not tell (the file is missing or unreadable)
};

FileUse fileInUse(const std::filesystem::path& file);

} // namespace lanqi::platform
