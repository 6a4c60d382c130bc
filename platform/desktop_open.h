#pragma once
// Hands a file to the desktop's program for it, in a separate process, and
// returns without waiting for it.
#include <filesystem>
#include <stdexcept>

namespace lanqi::platform {

// The message says, in Chinese, why the file could not be handed over.
class OpenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Tries xdg-open, then LibreOffice (soffice, libreoffice). Throws OpenError
// naming the file when it is missing or no program is found.
void openOnDesktop(const std::filesystem::path& file);

} // namespace lanqi::platform
