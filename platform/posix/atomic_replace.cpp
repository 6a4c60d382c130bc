#include "platform/atomic_replace.h"

#include "platform/system_error_text.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lanqi::platform {
namespace {

[[noreturn]] void fail(const std::string& step, int error) {
    throw FileWriteError(step + "（" + systemErrorText(error) + "）");
}

// Closes and removes the temporary file unless it was renamed into place.
struct TempFile {
    std::string path;
    int fd = -1;
    bool placed = false;
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!placed && !path.empty()) ::unlink(path.c_str());
    }
};

} // namespace

void replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::uint8_t> content) {
    std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();
    struct stat old {};
    bool hadOld = ::stat(target.c_str(), &old) == 0;

    TempFile temp;
    std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    temp.fd = ::mkstemp(pattern.data());
    if (temp.fd < 0) fail("无法在文件夹中创建临时文件", errno);
    temp.path = pattern;

    const std::uint8_t* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(temp.fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("写入临时文件失败", n < 0 ? errno : ENOSPC);
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    mode_t mode = hadOld ? (old.st_mode & 07777) : 0644;
    if (::fchmod(temp.fd, mode) != 0) fail("无法设置临时文件的权限", errno);
    if (hadOld && ::fchown(temp.fd, old.st_uid, old.st_gid) != 0 && geteuid() == 0)
        fail("无法设置临时文件的所有者", errno);
    if (::fsync(temp.fd) != 0) fail("无法把临时文件写入磁盘", errno);
    if (::close(temp.fd) != 0) {
        temp.fd = -1;
        fail("关闭临时文件失败", errno);
    }
    temp.fd = -1;
    if (::rename(temp.path.c_str(), target.c_str()) != 0) fail("无法用新文件替换原文件", errno);
    temp.placed = true;
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd); // the rename itself reaches the disk
        ::close(dirFd);
    }
}

} // namespace lanqi::platform
