#pragma once
// Replacing a file's content all at once: the new content goes to a file
// beside it, is flushed to disk and renamed over the old one, which keeps
// its permissions. If any step fails the old file is left as it was.
#include "byte_io.h"

#include <filesystem>
#include <stdexcept>

namespace lanqi::xls {

// The message says, in Chinese, which step failed and why.
class FileWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void replaceFileAtomically(const std::filesystem::path& target, ByteView content);

} // namespace lanqi::xls
