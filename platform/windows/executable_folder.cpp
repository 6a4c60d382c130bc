#include "platform/executable_folder.h"

#include <windows.h>

#include <string>

namespace lanqi::platform {

std::filesystem::path executableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    while (name.size() <= 32768) {
        DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) break;
        if (n < name.size()) {
            name.resize(n);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2); // cut short: try a longer buffer
    }
    return std::filesystem::current_path();
}

} // namespace lanqi::platform
