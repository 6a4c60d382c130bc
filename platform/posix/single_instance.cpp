#include "platform/single_instance.h"

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

namespace lanqi::platform {

SingleInstance::SingleInstance(const std::filesystem::path& lockFile) {
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock file that cannot be made must not keep the program from starting.
    if (fd < 0) {
        fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return;
    }
    ::close(fd);
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

std::filesystem::path instanceLockFile(const std::filesystem::path& programFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path dir =
        runtime && *runtime ? runtime : std::filesystem::temp_directory_path();
    size_t folderHash = std::hash<std::string>{}(programFolder.string());
    return dir /
           ("lanqi-" + std::to_string(::getuid()) + "-" + std::to_string(folderHash) + ".lock");
}

} // namespace lanqi::platform
