#include "tests/platform/windows_process.h"

namespace lanqi::test {

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::wstring>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!::CreatePipe(&output_, &write, &inherit, 0)) return;
    ::SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    std::wstring line = L"\"" + program.native() + L"\"";
    for (const std::wstring& a : args) line += L" \"" + a + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &info)) {
        process_ = info.hProcess;
        ::CloseHandle(info.hThread);
    }
    ::CloseHandle(write);
}

ChildProcess::~ChildProcess() {
    if (process_) {
        kill();
        ::CloseHandle(process_);
    }
    if (output_) ::CloseHandle(output_);
}

std::string ChildProcess::read(std::size_t count) {
    std::string out;
    char buffer[256];
    while (out.size() < count) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min(sizeof buffer, count - out.size()));
        if (!::ReadFile(output_, buffer, want, &n, nullptr) || n == 0) break;
        out.append(buffer, n);
    }
    return out;
}

unsigned long ChildProcess::wait() {
    DWORD code = 255;
    ::WaitForSingleObject(process_, 30000);
    ::GetExitCodeProcess(process_, &code);
    return code;
}

void ChildProcess::kill() {
    ::TerminateProcess(process_, 137);
    ::WaitForSingleObject(process_, 30000);
}

} // namespace lanqi::test
