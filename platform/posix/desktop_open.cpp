#include "platform/desktop_open.h"

#include "platform/system_error_text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lanqi::platform {
namespace {

constexpr const char* kOpeners[] = {"xdg-open", "soffice", "libreoffice"};

std::filesystem::path findOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::filesystem::path candidate =
            std::filesystem::path(
                dirs.substr(start, end - start).empty() ? "." : dirs.substr(start, end - start)) /
            program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

// Starts `program file` detached (its own session, not our child), and
// reports whether it could be started.
int startDetached(const std::filesystem::path& program, const std::filesystem::path& file) {
    std::string prog = program.string(), arg = file.string();
    std::vector<char*> argv{prog.data(), arg.data(), nullptr};
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    pid_t child = ::fork();
    if (child < 0) {
        int e = errno;
        ::close(report[0]);
        ::close(report[1]);
        return e;
    }
    if (child == 0) {
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                ::dup2(devnull, 0);
                ::dup2(devnull, 1);
                ::dup2(devnull, 2);
            }
            ::execv(argv[0], argv.data());
            int e = errno;
            (void)!::write(report[1], &e, sizeof e);
        }
        if (grandchild < 0) {
            int e = errno;
            (void)!::write(report[1], &e, sizeof e);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return n == sizeof error ? error : 0;
}

} // namespace

void openOnDesktop(const std::filesystem::path& file) {
    std::string name = file.filename().string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw OpenError("无法显示" + name + "：找不到文件（" + file.string() + "）");
    for (const char* opener : kOpeners) {
        std::filesystem::path program = findOnPath(opener);
        if (program.empty()) continue;
        int error = startDetached(program, std::filesystem::absolute(file, ec));
        if (error == 0) return;
        throw OpenError("无法显示" + name + "：启动 " + opener + " 失败（" +
                        systemErrorText(error) + "）");
    }
    throw OpenError("无法显示" + name +
                    "：没有找到可以打开它的电子表格程序，请安装 LibreOffice 或 WPS 表格");
}

} // namespace lanqi::platform
