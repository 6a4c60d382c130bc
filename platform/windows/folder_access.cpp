#include "platform/folder_access.h"

#include <windows.h>

#include <string>

namespace lanqi::platform {

// Access rights on Windows are lists that only the system evaluates well:
// a file is made there and goes again when its handle closes.
bool folderWritable(const std::filesystem::path& folder) {
    std::filesystem::path probe =
        folder / (L".lanqi-write-test-" + std::to_wstring(::GetCurrentProcessId()));
    HANDLE h = ::CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(h);
    return true;
}

} // namespace lanqi::platform
