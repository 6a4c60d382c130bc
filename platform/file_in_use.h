#pragma once
// Whether another program has a file open in a way that forbids writing it
// now (on Windows, Excel and WPS keep an open workbook with write sharing
// denied; on Linux, LibreOffice holds a lock on it).
#include <filesystem>

namespace lanqi::platform {

enum class FileUse {
    Free,    // nothing that the system knows of holds it
    InUse,   // another program holds it
    Unknown, // the system could not tell (the file is missing or unreadable)
};

FileUse fileInUse(const std::filesystem::path& file);

} // namespace lanqi::platform
