#include "platform/atomic_replace.h"

#include "platform/windows/wide_text.h"

#include <windows.h>

#include <string>

namespace lanqi::platform {
namespace {

[[noreturn]] void fail(const std::string& step, DWORD error) {
    throw FileWriteError(step + "（" + windows::windowsErrorText(error) + "）");
}

// Closes and removes the temporary file unless it was moved into place.
struct TempFile {
    std::filesystem::path path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool placed = false;
    ~TempFile() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
        if (!placed && !path.empty()) ::DeleteFileW(path.c_str());
    }
};

// A name beside the target that no other file has.
std::filesystem::path tempName(const std::filesystem::path& dir,
                               const std::filesystem::path& target, unsigned attempt) {
    std::wstring name = L"." + target.filename().native() + L"." +
                        std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(attempt);
    return dir / name;
}

} // namespace

void replaceFileAtomically(const std::filesystem::path& target,
                           std::span<const std::uint8_t> content) {
    std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();

    TempFile temp;
    for (unsigned attempt = 0; temp.handle == INVALID_HANDLE_VALUE; ++attempt) {
        std::filesystem::path candidate = tempName(dir, target, attempt);
        // Write-through: the data is on the disk when WriteFile returns.
        temp.handle = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (temp.handle != INVALID_HANDLE_VALUE) {
            temp.path = candidate;
            break;
        }
        DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS || attempt > 100) fail("无法在文件夹中创建临时文件", error);
    }

    const std::uint8_t* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(temp.handle, p, chunk, &written, nullptr) || written == 0)
            fail("写入临时文件失败", ::GetLastError());
        p += written;
        left -= written;
    }
    if (!::FlushFileBuffers(temp.handle)) fail("无法把临时文件写入磁盘", ::GetLastError());
    HANDLE handle = temp.handle;
    temp.handle = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) fail("关闭临时文件失败", ::GetLastError());

    // A rename within the folder: the target is either the old file or the
    // new one, never a part of either. It fails, leaving the old file, while
    // another program holds the target open without sharing.
    if (!::MoveFileExW(temp.path.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("无法用新文件替换原文件", ::GetLastError());
    temp.placed = true;
}

} // namespace lanqi::platform
