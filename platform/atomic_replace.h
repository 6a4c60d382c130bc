#pragma once
// Replacing a file's content all at once: the new content goes to a file
// beside it, is flushed to disk and renamed over the old one, which keeps
// its permissions. If any step fails the old file is left as it was.
#include <cstdint>

#include <filesystem>
#include <span>
#include <stdexcept>

namespace lanqi::platform {

// The message says, in Chinese, which step failed and why.
class FileWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::uint8_t> content);

} // namespace lanqi::platform
