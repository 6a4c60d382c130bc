// A window that cannot be made: the program says so in a message and ends at
// once, without holding the lock that keeps a second copy out. The system is
// made to refuse the main window by a hook in this process.
#include "platform/single_instance.h"
#include "program/program.h"
#include "program/window_not_made.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/run_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

HHOOK hook = nullptr;
std::wstring told; // the texts of the message box

BOOL CALLBACK noteText(HWND h, LPARAM) {
    wchar_t text[512] = {};
    GetWindowTextW(h, text, 512);
    told += text;
    told += L'\n';
    return TRUE;
}

// Refuses the main window; reads the message box and closes it.
LRESULT CALLBACK refuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* made = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!IS_INTRESOURCE(made->lpszClass) &&
            std::wstring_view(made->lpszClass) == lanqi::ui::kFormClass)
            return 1;
    }
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        EnumChildWindows(box, noteText, 0);
        PostMessageW(box, WM_CLOSE, 0, 0);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

std::wstring wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()))));
    return w;
}

TEST(RunWindow, AWindowThatCannotBeMadeIsToldAndHoldsNothing) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("lanqi-run-window-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    lanqi::testing::FakeSpreadsheet spreadsheet;
    lanqi::Program program(spreadsheet, folder / "账单明细.xls", folder / "lanqi.lock");

    hook = SetWindowsHookExW(WH_CBT, refuseMainWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const int exitCode = lanqi::ui::win32::runWindow(GetModuleHandleW(nullptr), program, SW_SHOW);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(exitCode, 1);
    const std::wstring message = wide(lanqi::windowNotMadeMessage(0));
    EXPECT_NE(told.find(message.substr(0, message.find(L'。'))), std::wstring::npos)
        << "the message box said nothing of the window (" << told.size() << " characters)";
    EXPECT_EQ(spreadsheet.opens, 0);
    EXPECT_TRUE(lanqi::platform::SingleInstance(folder / "lanqi.lock").acquired());
    std::filesystem::remove_all(folder);
}

} // namespace
