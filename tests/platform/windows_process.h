#pragma once
// Starting a helper program from a Windows test and reading what it prints.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lanqi::test {

class ChildProcess {
  public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::wstring>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    // Up to `count` bytes of its output, fewer when it ends first.
    std::string read(std::size_t count);
    // Waits for it to end and returns its exit code.
    unsigned long wait();
    // Ends it at once, as a crash would.
    void kill();

  private:
    HANDLE process_ = nullptr;
    HANDLE output_ = nullptr;
};

} // namespace lanqi::test
