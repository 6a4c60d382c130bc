#include "program_paths.h"

#include "cell_map.h"

#include <system_error>

namespace lanqi {

std::filesystem::path programFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

std::filesystem::path workbookPath() {
    return programFolder() / std::filesystem::path(std::string(cellmap::kWorkbookFile));
}

} // namespace lanqi
