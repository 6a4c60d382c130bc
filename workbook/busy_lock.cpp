#include "workbook/busy_lock.h"

#include "platform/file_in_use.h"
#include "platform/utf8_path.h"
#include "workbook/spreadsheet.h"

namespace lanqi {

namespace fs = std::filesystem;

std::optional<fs::path> otherProgramLock(const fs::path& workbook) {
    const std::string name = platform::utf8Text(workbook.filename());
    const fs::path folder = workbook.parent_path();
    for (const std::string& lock : {".~lock." + name + "#", "~$" + name}) {
        std::error_code ec;
        fs::path candidate = folder / platform::pathFromUtf8(lock);
        if (fs::exists(candidate, ec)) return candidate;
    }
    return std::nullopt;
}

void requireNotOpenElsewhere(const fs::path& workbook) {
    if (auto lock = otherProgramLock(workbook))
        throw WorkbookError(WorkbookError::Kind::Busy,
                            platform::utf8Text(workbook.filename()) +
                                " 正在被其他程序打开，请先在表格程序中关闭它，然后再试一次。"
                                "（如果已经没有程序打开它，请删除锁文件 " +
                                platform::utf8Text(*lock) + "）");
    // Excel and WPS on Windows hold the open workbook with writing denied.
    if (platform::fileInUse(workbook) == platform::FileUse::InUse)
        throw WorkbookError(WorkbookError::Kind::Busy,
                            platform::utf8Text(workbook.filename()) +
                                " 正在被其他程序打开，请先在表格程序中关闭它，然后再试一次。");
}

} // namespace lanqi
