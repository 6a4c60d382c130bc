#pragma once
// Hands a file to the desktop's program for it and watches that program's
// first seconds without waiting for them: an opener or spreadsheet program
// that exits with an error soon after it starts is a failure the user must
// hear of; one that is still starting when the watch ends is not.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

namespace lanqi::platform {

// The message says, in Chinese, why the file could not be handed over.
class OpenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// How long a started program is watched.
inline constexpr int kShowWatchMs = 4000;

class DesktopShow {
  public:
    enum class State { Watching, Shown, Failed };

    DesktopShow(DesktopShow&& other) noexcept
        : handle_(std::exchange(other.handle_, -1)), started_(other.started_),
          program_(std::move(other.program_)), failure_(std::move(other.failure_)),
          state_(other.state_) {}
    DesktopShow& operator=(DesktopShow&&) = delete;
    ~DesktopShow() { release(); }

    // Looks without waiting; Watching for at most about kShowWatchMs.
    State state();
    // Once Failed: which program failed and how, in Chinese.
    const std::string& failure() const { return failure_; }

  private:
    friend DesktopShow showOnDesktop(const std::filesystem::path& file);
    DesktopShow(std::intptr_t handle, std::string program);
    void release();

    std::intptr_t handle_; // what is watched; -1 when nothing is
    std::uint64_t started_ = 0;
    std::string program_;
    std::string failure_;
    State state_ = State::Watching;
};

// Tries xdg-open, then LibreOffice (soffice, libreoffice) on POSIX, the
// file's associated program on Windows. Throws OpenError naming the file when
// it is missing or no program can be started.
DesktopShow showOnDesktop(const std::filesystem::path& file);

} // namespace lanqi::platform
