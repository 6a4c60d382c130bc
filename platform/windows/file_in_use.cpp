#include "platform/file_in_use.h"

#include <windows.h>

namespace lanqi::platform {

// Opening for writing while sharing everything fails with a sharing
// violation exactly when another handle denies writers.
FileUse fileInUse(const std::filesystem::path& file) {
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return FileUse::Free;
    }
    DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return FileUse::InUse;
    return FileUse::Unknown;
}

} // namespace lanqi::platform
