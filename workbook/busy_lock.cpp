#include "workbook/busy_lock.h"

#include "platform/file_in_use.h"
#include "platform/this_machine.h"
#include "platform/utf16_text.h"
#include "platform/utf8_path.h"
#include "workbook/spreadsheet.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace lanqi {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSpreadsheetPrograms[] = {
    "soffice.bin", "soffice", "soffice.exe", "libreoffice", "oosplash",  "scalc",
    "et",          "et.exe",  "wps",         "wps.exe",     "wpsoffice", "excel.exe",
};

// The fields of a LibreOffice lock: comma-separated, ";" ends, "\" escapes.
std::vector<std::string> lockFields(std::string_view content) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\\' && i + 1 < content.size())
            fields.back() += content[++i];
        else if (c == ',')
            fields.emplace_back();
        else if (c == ';')
            break;
        else if (c != '\n' && c != '\r')
            fields.back() += c;
    }
    return fields;
}

// Excel's owner file: the name in UTF-16 after a two-byte count at byte 54;
// else the counted name at the start when it is plain ASCII.
std::string excelOwner(std::string_view content) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(content[i]); };
    if (content.size() >= 56) {
        const size_t count = byte(54) | (byte(55) << 8);
        if (count > 0 && 56 + 2 * count <= content.size()) {
            std::u16string name;
            for (size_t k = 0; k < count; ++k) {
                const auto unit = static_cast<char16_t>(byte(56 + 2 * k) | (byte(57 + 2 * k) << 8));
                if (unit >= 0xD800 && unit < 0xE000) return {};
                name += unit;
            }
            return platform::utf8(name);
        }
    }
    if (content.empty()) return {};
    const size_t count = byte(0);
    if (count == 0 || count + 1 > content.size()) return {};
    std::string name(content.substr(1, count));
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return ascii ? name : std::string();
}

bool sameHost(std::string_view a, std::string_view b) {
    auto shortName = [](std::string_view h) { return h.substr(0, h.find('.')); };
    auto lower = [](std::string_view h) {
        std::string s(h);
        for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return s;
    };
    return !a.empty() && !b.empty() && lower(shortName(a)) == lower(shortName(b));
}

std::string describe(const fs::path& workbook, const WorkbookLock& lock) {
    std::string who = lock.user.empty() ? "其他程序" : lock.user;
    if (!lock.host.empty()) who += "（电脑 " + lock.host + "）";
    std::string since = lock.since.empty() ? "" : "自 " + lock.since + " 起";
    return platform::utf8Text(workbook.filename()) + " 正被 " + who + since + "打开（锁文件 " +
           platform::utf8Text(lock.file) + "）。";
}

[[noreturn]] void refuse(const std::string& message) {
    throw WorkbookError(WorkbookError::Kind::Busy, message);
}

// A stale lock goes, so that the spreadsheet program does not ask about it
// either when the bill is shown; one that cannot be removed is left alone.
void removeStale(const WorkbookLock& lock) {
    std::error_code ec;
    fs::remove(lock.file, ec);
}

} // namespace

WorkbookLock readLock(const fs::path& file, std::string_view content) {
    WorkbookLock lock{file, {}, {}, {}};
    if (file.filename().string().starts_with("~$")) {
        lock.user = excelOwner(content);
        return lock;
    }
    std::vector<std::string> f = lockFields(content);
    if (f.size() < 4) return lock;
    lock.user = !f[0].empty() ? f[0] : f[1];
    lock.host = f[2];
    lock.since = f[3];
    return lock;
}

std::optional<WorkbookLock> otherProgramLock(const fs::path& workbook) {
    const std::string name = platform::utf8Text(workbook.filename());
    const fs::path folder = workbook.parent_path();
    for (const std::string& lock : {".~lock." + name + "#", "~$" + name}) {
        std::error_code ec;
        fs::path candidate = folder / platform::pathFromUtf8(lock);
        if (!fs::exists(candidate, ec)) continue;
        std::ifstream in(candidate, std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return readLock(candidate, content.substr(0, 4096));
    }
    return std::nullopt;
}

bool isSpreadsheetProgram(std::string_view program) {
    return std::find(std::begin(kSpreadsheetPrograms), std::end(kSpreadsheetPrograms), program) !=
           std::end(kSpreadsheetPrograms);
}

LockJudge thisMachine() {
    return {platform::hostName(), [] {
                const std::vector<std::string> running = platform::runningProgramNames();
                return std::any_of(running.begin(), running.end(),
                                   [](const std::string& p) { return isSpreadsheetProgram(p); });
            }};
}

namespace {

// A lock file found beside the workbook: stale, refused, or gone once the user
// says the workbook is closed.
void judgeLock(const fs::path& workbook, const WorkbookLock& lock, OtherLock other,
               const LockJudge& judge) {
    const bool here = sameHost(lock.host, judge.thisHost);
    const bool running = judge.spreadsheetRunning();
    if (here && !running) return removeStale(lock);
    if (other == OtherLock::Refuse)
        refuse(describe(workbook, lock) + "\n请先在表格程序中关闭它。");
    if ((here || lock.host.empty()) && running)
        refuse(describe(workbook, lock) +
               "\n这台电脑上的表格程序还开着，它可能仍打开着这个文件。请在表格程序中关闭它，"
               "或者退出表格程序。");
    removeStale(lock);
}

} // namespace

void requireNotOpenElsewhere(const fs::path& workbook, OtherLock other, const LockJudge& judge) {
    if (const std::optional<WorkbookLock> lock = otherProgramLock(workbook))
        judgeLock(workbook, *lock, other, judge);
    // Excel and WPS on Windows hold the open workbook with writing denied.
    if (platform::fileInUse(workbook) == platform::FileUse::InUse)
        refuse(platform::utf8Text(workbook.filename()) +
               " 正在被其他程序打开，请先在表格程序中关闭它，然后再试一次。");
}

} // namespace lanqi
