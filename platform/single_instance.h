#pragma once
#include <filesystem>
#include <string>

namespace lanqi::platform {

// Holds a lock that only one running copy of the program can hold. The
// system releases it when the process ends in any way, so a copy that
// crashed never blocks the next start.
class SingleInstance {
  public:
    explicit SingleInstance(const std::filesystem::path& lockFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy holds the lock.
    bool acquired() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// The lock file for copies started from one folder.
std::filesystem::path instanceLockFile(const std::filesystem::path& programFolder);

} // namespace lanqi::platform
