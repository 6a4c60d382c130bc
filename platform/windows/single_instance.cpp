#include "platform/single_instance.h"

#include <windows.h>

#include <cwctype>
#include <fcntl.h>
#include <functional>
#include <io.h>

namespace lanqi::platform {

// The lock is the file itself, opened with no sharing: a second opener gets
// a sharing violation until the handle closes, which the system does when
// the process ends in any way. The file goes with the last handle.
SingleInstance::SingleInstance(const std::filesystem::path& lockFile) {
    HANDLE h =
        ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        // A lock file that cannot be made must not keep the program from starting.
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            fd_ = ::_open("NUL", _O_RDONLY);
        return;
    }
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR);
    if (fd_ < 0) ::CloseHandle(h);
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::_close(fd_);
}

std::filesystem::path instanceLockFile(const std::filesystem::path& programFolder) {
    // The temporary folder is the user's own, so copies of other users do
    // not meet; the name is told apart by the program's folder.
    std::wstring folder = programFolder.native();
    for (wchar_t& c : folder) c = static_cast<wchar_t>(std::towlower(c));
    std::size_t folderHash = std::hash<std::wstring>{}(folder);
    return std::filesystem::temp_directory_path() /
           ("lanqi-" + std::to_string(folderHash) + ".lock");
}

} // namespace lanqi::platform
