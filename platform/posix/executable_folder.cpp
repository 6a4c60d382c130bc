#include "platform/executable_folder.h"

#include <system_error>

namespace lanqi::platform {

std::filesystem::path executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

} // namespace lanqi::platform
