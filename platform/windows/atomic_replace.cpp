#include "platform/atomic_replace.h"

#include "platform/replace_rules.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <string>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;

// The attributes of the old file that the new one takes over.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// FILETIME counts 100-ns steps.
constexpr std::uint64_t kFileTimeStepsPerSecond = 10'000'000;

[[noreturn]] void fail(const std::string& step, DWORD error) {
    throw FileWriteError(step + "（" + windows::windowsErrorText(error) + "）");
}

struct Handle {
    HANDLE value = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE) ::CloseHandle(value);
    }
};

// Closes and removes the temporary file unless it was moved into place.
struct TempFile {
    fs::path path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool placed = false;
    ~TempFile() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
        if (!placed && !path.empty()) ::DeleteFileW(path.c_str());
    }
};

std::uint64_t asNumber(FILETIME t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

std::string prefixOf(const fs::path& file) {
    return tempPrefix(windows::narrow(file.filename().native()));
}

// Six letters and digits that differ between processes, moments and attempts.
std::wstring tempRandom(unsigned attempt) {
    static constexpr wchar_t kDigits[] =
        L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uint64_t x = (std::uint64_t{::GetCurrentProcessId()} << 40) ^ ::GetTickCount64() ^
                      (std::uint64_t{attempt} * 0x9E3779B97F4A7C15ull);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    std::wstring text;
    for (std::size_t i = 0; i < kTempRandomLength; ++i, x /= 62) text.push_back(kDigits[x % 62]);
    return text;
}

struct Replaced {
    fs::path path;        // the file behind a symbolic link; any other path as it is
    DWORD attributes = 0; // those of the existing file that the new one takes over
};

// An existing file that is read-only or hard-linked is refused before
// anything is written.
Replaced fileToReplace(const fs::path& target) {
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {target};
    // No data access: this opens even a file that a spreadsheet holds.
    Handle h{::CreateFileW(target.c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (h.value == INVALID_HANDLE_VALUE) fail("无法打开原文件", ::GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.value, &info))
        fail("无法读取原文件的属性", ::GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) throw FileWriteError(readOnlyRefusal());
    if (info.nNumberOfLinks > 1) throw FileWriteError(hardLinkRefusal(info.nNumberOfLinks));
    const DWORD kept = info.dwFileAttributes & kKeptAttributes;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return {target, kept};
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        DWORD n =
            ::GetFinalPathNameByHandleW(h.value, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) fail("无法找到符号链接指向的文件", ::GetLastError());
        if (n < final.size()) {
            final.resize(n);
            return {fs::path(final), kept};
        }
        final.resize(n);
    }
}

// Removes temporary files of earlier replaces of the same file that were
// never moved into place. Failures here change nothing that matters.
void removeLeftovers(const fs::path& dir, const fs::path& file) {
    const std::string prefix = prefixOf(file);
    WIN32_FIND_DATAW found{};
    std::wstring name(1, L'.');
    name.append(file.filename().native()).append(L".*");
    fs::path pattern = dir / name;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    const std::uint64_t now = asNumber(nowTime);
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (!isTempName(windows::narrow(found.cFileName), prefix)) continue;
        // A time ahead of this clock (another machine's, on a share) is not old.
        const std::uint64_t written = asNumber(found.ftLastWriteTime);
        if (written >= now || now - written < kLeftoverAgeSeconds * kFileTimeStepsPerSecond)
            continue;
        ::DeleteFileW((dir / found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

void replaceFileAtomically(const fs::path& target, std::span<const std::uint8_t> content) {
    const auto [file, kept] = fileToReplace(target);
    const fs::path dir = file.parent_path().empty() ? "." : file.parent_path();
    const std::wstring prefix = windows::widen(prefixOf(file));

    TempFile temp;
    for (unsigned attempt = 0; temp.handle == INVALID_HANDLE_VALUE; ++attempt) {
        std::wstring name = prefix;
        name.append(tempRandom(attempt));
        fs::path candidate = dir / name;
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
    if (kept && !::SetFileAttributesW(temp.path.c_str(), kept))
        fail("无法设置临时文件的属性", ::GetLastError());

    // A rename within the folder: the target is either the old file or the
    // new one, never a part of either. It fails, leaving the old file, while
    // another program holds the target open without sharing.
    if (!::MoveFileExW(temp.path.c_str(), file.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("无法用新文件替换原文件", ::GetLastError());
    temp.placed = true;
    removeLeftovers(dir, file);
}

} // namespace lanqi::platform
