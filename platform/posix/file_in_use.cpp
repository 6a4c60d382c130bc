#include "platform/file_in_use.h"

#include <fcntl.h>
#include <unistd.h>

namespace lanqi::platform {

// Asks for the first record lock that would stop a write lock on the whole
// file. Programs that take no such lock (LibreOffice, which leaves a lock
// file instead, a text editor) are not seen here.
FileUse fileInUse(const std::filesystem::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileUse::Unknown;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    int rc = ::fcntl(fd, F_GETLK, &probe);
    ::close(fd);
    if (rc != 0) return FileUse::Unknown;
    return probe.l_type == F_UNLCK ? FileUse::Free : FileUse::InUse;
}

} // namespace lanqi::platform
