// The Windows file services on names like the workbook's: the executable's
// folder, replacing a file whole, telling a file held by another program,
// the user's folders.
#include "platform/atomic_replace.h"
#include "platform/desktop_show.h"
#include "platform/executable_folder.h"
#include "platform/file_in_use.h"
#include "platform/folder_access.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"
#include "platform/windows/wide_text.h"
#include "tests/platform/windows_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;

class WindowsFiles : public ::testing::Test {
  protected:
    WindowsFiles() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(file, std::ios::binary) << "old";
    }
    ~WindowsFiles() override { fs::remove_all(dir); }

    std::string contents() {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t filesInDir() {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    // Held as Excel and WPS hold an open workbook: others may read, not write.
    HANDLE holdLikeASpreadsheet(DWORD share) {
        return ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    fs::path dir =
        fs::temp_directory_path() / (L"澜栖-" + std::to_wstring(::GetCurrentProcessId()));
    fs::path file = dir / L"账单明细.xls";
    std::vector<std::uint8_t> fresh{'n', 'e', 'w', '!'};
};

TEST_F(WindowsFiles, TheExecutablesFolderKeepsAChineseName) {
    fs::path folder = dir / L"程序 文件";
    fs::create_directories(folder);
    fs::copy_file(executableFolder() / "instance_holder.exe", folder / "instance_holder.exe");
    test::ChildProcess child(folder / "instance_holder.exe", {L"folder"});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.read(1000), utf8Text(folder));
    EXPECT_EQ(child.wait(), 0u);
}

TEST_F(WindowsFiles, ReplacesTheFileWholeAndLeavesNothingBeside) {
    // A workbook the user hid stays hidden.
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    replaceFileAtomically(file, fresh);
    EXPECT_EQ(contents(), "new!");
    EXPECT_EQ(filesInDir(), 1u);
    EXPECT_TRUE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    replaceFileAtomically(dir / L"新的.xls", fresh);
    EXPECT_EQ(fs::file_size(dir / L"新的.xls"), 4u);
    EXPECT_THROW(replaceFileAtomically(dir / L"没有" / L"x.xls", fresh), FileWriteError);
}

TEST_F(WindowsFiles, AFileHeldOpenIsNotReplacedAndKeepsItsContent) {
    for (DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        HANDLE held = holdLikeASpreadsheet(share);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        try {
            replaceFileAtomically(file, fresh);
            ADD_FAILURE() << "replaced a file that another program holds, share " << share;
        } catch (const FileWriteError& e) {
            EXPECT_NE(std::string(e.what()).find("无法用新文件替换原文件"), std::string::npos)
                << e.what();
        }
        ::CloseHandle(held);
        EXPECT_EQ(contents(), "old");
        EXPECT_EQ(filesInDir(), 1u);
    }
}

TEST_F(WindowsFiles, TellsAFileThatAnotherProgramHolds) {
    EXPECT_EQ(fileInUse(file), FileUse::Free);
    HANDLE held = holdLikeASpreadsheet(FILE_SHARE_READ);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fileInUse(file), FileUse::InUse);
    ::CloseHandle(held);
    EXPECT_EQ(fileInUse(file), FileUse::Free);
    EXPECT_EQ(fileInUse(dir / L"没有.xls"), FileUse::Unknown);
}

TEST_F(WindowsFiles, UserFoldersAndWritableFolders) {
    EXPECT_TRUE(folderWritable(dir));
    EXPECT_EQ(filesInDir(), 1u); // the probe is gone again
    EXPECT_FALSE(folderWritable(dir / L"没有"));
    fs::path data = userDataFolder();
    EXPECT_TRUE(data.is_absolute()) << utf8Text(data);
}

TEST_F(WindowsFiles, AMissingFileIsNotHandedToTheDesktop) {
    try {
        showOnDesktop(dir / L"别的.xls");
        FAIL();
    } catch (const OpenError& e) {
        EXPECT_NE(std::string(e.what()).find("无法显示别的.xls：找不到文件"), std::string::npos)
            << e.what();
    }
}

} // namespace
} // namespace lanqi::platform

namespace lanqi::platform::windows {
namespace {

// A system message fetched without its arguments shows no raw "%1".
TEST(SystemMessages, InsertsAreLeftOut) {
    struct Case {
        const wchar_t* raw;
        const char* shown;
    } cases[] = {
        {L"%1 is not a valid Win32 application.\r\n", "is not a valid Win32 application"},
        {L"%1 不是有效的 Win32 应用程序。\r\n", "不是有效的 Win32 应用程序"},
        {L"The file %1!s! is in use by %2.%n", "The file is in use by"},
        {L"100%% done%0 never shown", "100% done"},
    };
    for (const Case& c : cases) EXPECT_EQ(systemMessageText(c.raw), c.shown) << c.shown;
    for (unsigned long error : {193ul, 129ul, 1392ul})
        EXPECT_EQ(windowsErrorText(error).find('%'), std::string::npos) << error;
}

} // namespace
} // namespace lanqi::platform::windows
