#pragma once
// Replacing a file's content all at once: the new content goes to a
// temporary file beside it, is flushed to disk and renamed over the old one.
// The new file keeps the old one's permissions and owner (on Windows its
// hidden, system and archive marks; its access rules are then the
// folder's). If any step fails the old file is left as it was.
// - A symbolic link is followed to the file it names: that file is replaced,
//   in its own folder, and the link stays.
// - A file marked read-only, or one with more than one hard link (replacing
//   it would leave the other names on the old content), is refused.
// - After a successful replace, temporary files that earlier replaces of the
//   same file left behind (a save killed part-way) are removed.
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
