#include "platform/atomic_replace.h"

#include "platform/replace_rules.h"
#include "platform/system_error_text.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;

// mkstemp fills in the six letters and digits of the temporary name.
constexpr const char* kTempPattern = "XXXXXX";
static_assert(std::char_traits<char>::length(kTempPattern) == kTempRandomLength);
constexpr int kMaxLinkHops = 40;

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

// The file that the path finally names, through any symbolic links.
fs::path followLinks(fs::path path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) fail("无法读取符号链接", errno);
        link.resize(static_cast<std::size_t>(n));
        fs::path next(link);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    fail("无法找到符号链接指向的文件", ELOOP);
}

void refuseUnsafeTarget(const fs::path& file, const struct stat& st) {
    bool noWriteBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (noWriteBits || (::access(file.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS)))
        throw FileWriteError(readOnlyRefusal());
    if (st.st_nlink > 1) throw FileWriteError(hardLinkRefusal(st.st_nlink));
}

// Removes temporary files of earlier replaces of the same file that were
// never renamed into place. Failures here change nothing that matters.
void removeLeftovers(const fs::path& dir, const fs::path& file) {
    const std::string prefix = tempPrefix(file.filename().string());
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::time_t now = std::time(nullptr);
    while (const dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (!isTempName(name, prefix)) continue;
        fs::path p = dir / name;
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
            now - st.st_mtime < kLeftoverAgeSeconds)
            continue;
        ::unlink(p.c_str());
    }
    ::closedir(d);
}

} // namespace

void replaceFileAtomically(const fs::path& target, std::span<const std::uint8_t> content) {
    const fs::path file = followLinks(target);
    const fs::path dir = file.parent_path().empty() ? "." : file.parent_path();
    struct stat old {};
    bool hadOld = ::stat(file.c_str(), &old) == 0;
    if (hadOld) refuseUnsafeTarget(file, old);

    TempFile temp;
    std::string pattern = (dir / (tempPrefix(file.filename().string()) + kTempPattern)).string();
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
    if (::rename(temp.path.c_str(), file.c_str()) != 0) fail("无法用新文件替换原文件", errno);
    temp.placed = true;
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd); // the rename itself reaches the disk
        ::close(dirFd);
    }
    removeLeftovers(dir, file);
}

} // namespace lanqi::platform
