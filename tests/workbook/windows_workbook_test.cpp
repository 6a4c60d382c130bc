// The shipped workbook in a folder with a Chinese name on Windows: stored
// settings come back on the next start, and a workbook that Excel or WPS
// holds open is refused without being touched.
#include "editing/blanking.h"
#include "platform/utf8_path.h"
#include "workbook/cell_map.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"
#include "workbook/xls_spreadsheet.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

class WindowsWorkbook : public ::testing::Test {
  protected:
    WindowsWorkbook() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy_file(fs::path(LANQI_SHIPPED_WORKBOOK), path);
        attachBlankingRules(sheet);
    }
    ~WindowsWorkbook() override { fs::remove_all(dir); }
    std::string bytes() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir =
        fs::temp_directory_path() / (L"澜栖 账单-" + std::to_wstring(::GetCurrentProcessId()));
    fs::path path = dir / platform::pathFromUtf8(cellmap::kWorkbookFile);
    XlsApplication app{[](const fs::path&) {}};
    TallySheet sheet;
};

TEST_F(WindowsWorkbook, StoredSettingsComeBackOnTheNextStart) {
    ASSERT_EQ(path.filename().wstring(), L"账单明细.xls");
    loadFromWorkbook(sheet, app, path);
    sheet.setText(Arr::Text1, 0, "22");
    sheet.setText(Arr::Text25, 0, "5.8");
    storeSettings(sheet, app, path);
    TallySheet next;
    loadFromWorkbook(next, app, path);
    EXPECT_EQ(next.text(Arr::Text1, 0), "22");
    EXPECT_EQ(next.text(Arr::Text25, 0), "5.8");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(WindowsWorkbook, AWorkbookOpenInASpreadsheetIsNotWritten) {
    loadFromWorkbook(sheet, app, path);
    sheet.setText(Arr::Text1, 0, "22");
    const std::string before = bytes();
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        storeSettings(sheet, app, path);
        ADD_FAILURE() << "wrote a workbook held open";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.kind(), WorkbookError::Kind::Busy);
        EXPECT_NE(std::string(e.what()).find("账单明细.xls 正在被其他程序打开"), std::string::npos)
            << e.what();
    }
    ::CloseHandle(held);
    EXPECT_EQ(bytes(), before);

    // Excel's owner file beside the workbook, under its real name.
    std::ofstream(dir / L"~$账单明细.xls") << "someone";
    EXPECT_THROW(storeSettings(sheet, app, path), WorkbookError);
    EXPECT_EQ(bytes(), before);
}

} // namespace
} // namespace lanqi
