#include "app/program_paths.h"

#include "platform/executable_folder.h"
#include "workbook/cell_map.h"

namespace lanqi {

std::filesystem::path workbookPath() {
    return platform::executableFolder() /
           std::filesystem::path(std::string(cellmap::kWorkbookFile));
}

} // namespace lanqi
