#include "platform/desktop_show.h"

#include "platform/system_error_text.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lanqi::platform {
namespace {

constexpr const char* kOpeners[] = {"xdg-open", "soffice", "libreoffice"};
constexpr int kStillRunning = -1;

std::filesystem::path findOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::filesystem::path candidate = std::filesystem::path(dir.empty() ? "." : dir) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

void writeAll(int fd, int value) {
    while (::write(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

// In the watcher, a child of a forked process: only async-signal-safe calls.
// Reports the program's exit code if it ends within the watch, else
// kStillRunning.
[[noreturn]] void watch(pid_t program, int outcome) {
    const timespec step{0, 50 * 1000 * 1000};
    for (int waited = 0; waited < kShowWatchMs; waited += 50) {
        int status = 0;
        pid_t r = ::waitpid(program, &status, WNOHANG);
        if (r == program) {
            int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            writeAll(outcome, code);
            ::_exit(0);
        }
        if (r < 0 && errno != EINTR) break;
        ::nanosleep(&step, nullptr);
    }
    writeAll(outcome, kStillRunning);
    ::_exit(0);
}

struct Started {
    int error = 0;    // errno of a program that could not be started
    int outcome = -1; // read end of the watcher's report
};

// Starts `program file` in its own session, detached from this process, and
// a watcher beside it that reports how its first seconds went.
Started start(const std::filesystem::path& program, const std::filesystem::path& file) {
    std::string prog = program.string(), arg = file.string();
    std::vector<char*> argv{prog.data(), arg.data(), nullptr};
    int report[2], outcome[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return {errno};
    if (::pipe2(outcome, O_CLOEXEC) != 0) {
        int e = errno;
        ::close(report[0]);
        ::close(report[1]);
        return {e};
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        ::signal(SIGPIPE, SIG_IGN);
        ::close(report[0]);
        ::close(outcome[0]);
        pid_t watcher = ::fork();
        if (watcher == 0) {
            pid_t shown = ::fork();
            if (shown == 0) {
                int devnull = ::open("/dev/null", O_RDWR);
                if (devnull >= 0) {
                    ::dup2(devnull, 0);
                    ::dup2(devnull, 1);
                    ::dup2(devnull, 2);
                }
                ::execv(argv[0], argv.data());
                writeAll(report[1], errno);
                ::_exit(127);
            }
            if (shown < 0) {
                writeAll(report[1], errno);
                ::_exit(0);
            }
            ::close(report[1]);
            watch(shown, outcome[1]);
        }
        if (watcher < 0) writeAll(report[1], errno);
        ::_exit(0);
    }
    int forkError = child < 0 ? errno : 0;
    ::close(report[1]);
    ::close(outcome[1]);
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // The report closes when the program has been started (close-on-exec).
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (forkError || n == sizeof error) {
        ::close(outcome[0]);
        return {forkError ? forkError : error};
    }
    ::fcntl(outcome[0], F_SETFL, ::fcntl(outcome[0], F_GETFL) | O_NONBLOCK);
    return {0, outcome[0]};
}

} // namespace

DesktopShow::DesktopShow(std::intptr_t handle, std::string program)
    : handle_(handle), program_(std::move(program)) {}

void DesktopShow::release() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

DesktopShow::State DesktopShow::state() {
    if (state_ != State::Watching) return state_;
    int code = 0;
    ssize_t n = ::read(static_cast<int>(handle_), &code, sizeof code);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return state_;
    if (n == sizeof code && code != kStillRunning && code != 0) {
        state_ = State::Failed;
        failure_ = program_ + " 启动后出错退出（退出码 " + std::to_string(code) + "）";
    } else {
        state_ = State::Shown; // still starting, ended well, or no word from the watcher
    }
    release();
    return state_;
}

DesktopShow showOnDesktop(const std::filesystem::path& file) {
    std::string name = file.filename().string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw OpenError("无法显示" + name + "：找不到文件（" + file.string() + "）");
    for (const char* opener : kOpeners) {
        std::filesystem::path program = findOnPath(opener);
        if (program.empty()) continue;
        Started s = start(program, std::filesystem::absolute(file, ec));
        if (s.error == 0) return DesktopShow(s.outcome, opener);
        throw OpenError("无法显示" + name + "：启动 " + opener + " 失败（" +
                        systemErrorText(s.error) + "）");
    }
    throw OpenError("无法显示" + name +
                    "：没有找到可以打开它的电子表格程序，请安装 LibreOffice 或 WPS 表格");
}

} // namespace lanqi::platform
