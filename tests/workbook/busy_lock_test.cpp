// Lock files beside the workbook: what they say, when they are stale, and
// when the user's word lets the program go on.
#include "workbook/busy_lock.h"
#include "workbook/spreadsheet.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

TEST(Lock, SaysWhoHoldsItAndSinceWhen) {
    std::string excel(54, '\0');
    excel[0] = 4;
    excel.replace(1, 4, "wang");
    excel += std::string("\x02\x00", 2) + std::string("\x8b\x73\x97\x67", 4); // 王林 in UTF-16
    const struct {
        const char* file;
        std::string content, user, host, since;
    } cases[] = {
        {".~lock.a.xls#", ",zhang,timber-pc,08.12.2026 05:10,file:///home/zhang/.config/x;",
         "zhang", "timber-pc", "08.12.2026 05:10"},
        {".~lock.a.xls#", "张三,zhang,pc\\,2,08.12.2026 05:10,file:///x;\n", "张三", "pc,2",
         "08.12.2026 05:10"},
        {".~lock.a.xls#", "", "", "", ""},
        {".~lock.a.xls#", "garbage", "", "", ""},
        {"~$a.xls", excel, "王林", "", ""},
        {"~$a.xls", std::string("\x04wang", 5), "wang", "", ""},
        {"~$a.xls", std::string("\x40", 1), "", "", ""},
    };
    for (const auto& c : cases) {
        WorkbookLock lock = readLock(c.file, c.content);
        EXPECT_EQ(lock.user, c.user) << c.content;
        EXPECT_EQ(lock.host, c.host) << c.content;
        EXPECT_EQ(lock.since, c.since) << c.content;
    }
}

class LockBeside : public ::testing::Test {
  protected:
    LockBeside() {
        fs::create_directories(folder);
        std::ofstream(workbook) << "workbook";
    }
    ~LockBeside() override { fs::remove_all(folder); }
    void lockedBy(const std::string& file, const std::string& content) {
        std::ofstream(folder / file, std::ios::binary) << content;
    }
    fs::path folder =
        fs::temp_directory_path() /
        ("lanqi-lock-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::path workbook = folder / "账单明细.xls";
};

TEST_F(LockBeside, AStaleLockGoesAndOneThatMayBeHeldRefuses) {
    const std::string libre = ".~lock.账单明细.xls#", excel = "~$账单明细.xls";
    const struct {
        std::string file, host;
        bool running;
        OtherLock other;
        bool goesOn;
    } cases[] = {
        // This machine and no spreadsheet program: stale, without asking.
        {libre, "timber-pc", false, OtherLock::Refuse, true},
        {libre, "TIMBER-PC.local", false, OtherLock::Refuse, true},
        // Held, or cannot be shown to be stale.
        {libre, "timber-pc", true, OtherLock::Refuse, false},
        {libre, "office-pc", false, OtherLock::Refuse, false},
        {excel, "", false, OtherLock::Refuse, false},
        // The user says it is closed: believed unless a program here may hold it.
        {libre, "office-pc", true, OtherLock::UserClosedIt, true},
        {excel, "", false, OtherLock::UserClosedIt, true},
        {libre, "timber-pc", true, OtherLock::UserClosedIt, false},
        {excel, "", true, OtherLock::UserClosedIt, false},
    };
    for (const auto& c : cases) {
        const std::string where = c.file + " " + c.host + (c.running ? " running" : "");
        lockedBy(c.file, c.host.empty() ? std::string("\x04wang", 5)
                                        : ",zhang," + c.host + ",08.12.2026 05:10,file:///x;");
        const LockJudge judge{"timber-pc", [&] { return c.running; }};
        if (c.goesOn) {
            EXPECT_NO_THROW(requireNotOpenElsewhere(workbook, c.other, judge)) << where;
            EXPECT_FALSE(fs::exists(folder / c.file)) << where;
        } else {
            try {
                requireNotOpenElsewhere(workbook, c.other, judge);
                ADD_FAILURE() << where;
            } catch (const WorkbookError& e) {
                EXPECT_EQ(e.kind(), WorkbookError::Kind::Busy);
                const std::string message = e.what();
                EXPECT_NE(message.find(c.host.empty() ? "wang" : "zhang（电脑 " + c.host + "）"),
                          std::string::npos)
                    << message;
                if (!c.host.empty()) {
                    EXPECT_NE(message.find("自 08.12.2026 05:10 起"), std::string::npos);
                }
            }
            EXPECT_TRUE(fs::exists(folder / c.file)) << where;
        }
        fs::remove(folder / c.file);
    }
    EXPECT_NO_THROW(requireNotOpenElsewhere(workbook)); // no lock at all
}

TEST(Lock, SpreadsheetProgramsAreKnownByTheirProcessNames) {
    for (const char* p : {"soffice.bin", "et", "wps", "excel.exe", "soffice.exe"})
        EXPECT_TRUE(isSpreadsheetProgram(p)) << p;
    for (const char* p : {"lanqi", "bash", "etc", "sofficex"})
        EXPECT_FALSE(isSpreadsheetProgram(p));
}

} // namespace
} // namespace lanqi
