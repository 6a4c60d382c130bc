#include "workbook/busy_lock.h"

#include "workbook/spreadsheet.h"

namespace lanqi {

namespace fs = std::filesystem;

std::optional<fs::path> otherProgramLock(const fs::path& workbook) {
    const std::string name = workbook.filename().string();
    const fs::path folder = workbook.parent_path();
    for (const std::string& lock : {".~lock." + name + "#", "~$" + name}) {
        std::error_code ec;
        fs::path candidate = folder / lock;
        if (fs::exists(candidate, ec)) return candidate;
    }
    return std::nullopt;
}

void requireNotOpenElsewhere(const fs::path& workbook) {
    if (auto lock = otherProgramLock(workbook))
        throw WorkbookError(WorkbookError::Kind::Busy,
                            workbook.filename().string() +
                                " 正在被其他程序打开，请先在表格程序中关闭它，然后再试一次。"
                                "（如果已经没有程序打开它，请删除锁文件 " +
                                lock->string() + "）");
}

} // namespace lanqi
