#include "platform/desktop_show.h"

#include "platform/utf8_path.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace lanqi::platform {

DesktopShow::DesktopShow(std::intptr_t handle, std::string program)
    : handle_(handle), started_(GetTickCount64()), program_(std::move(program)) {}

void DesktopShow::release() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

DesktopShow::State DesktopShow::state() {
    if (state_ != State::Watching) return state_;
    if (handle_ == -1) return state_ = State::Shown; // handed to a program already running
    HANDLE process = reinterpret_cast<HANDLE>(handle_);
    DWORD code = 0;
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code)) {
        if (code != 0) {
            state_ = State::Failed;
            failure_ = program_ + " 启动后出错退出（退出码 " + std::to_string(code) + "）";
        } else {
            state_ = State::Shown;
        }
    } else if (GetTickCount64() - started_ >= static_cast<ULONGLONG>(kShowWatchMs)) {
        state_ = State::Shown;
    }
    if (state_ != State::Watching) release();
    return state_;
}

DesktopShow showOnDesktop(const std::filesystem::path& file) {
    const std::string name = utf8Text(file.filename());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw OpenError("无法显示" + name + "：找不到文件（" + utf8Text(file) + "）");
    const std::wstring path = std::filesystem::absolute(file, ec).wstring();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    // Some shell handlers are COM objects; the window's thread may already be
    // initialised, in which case this changes nothing.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const BOOL started = ShellExecuteExW(&info);
    const DWORD error = started ? 0 : GetLastError();
    if (SUCCEEDED(com)) CoUninitialize();
    if (!started) {
        if (error == ERROR_NO_ASSOCIATION || error == ERROR_FILE_NOT_FOUND)
            throw OpenError("无法显示" + name +
                            "：没有找到可以打开它的电子表格程序，请安装 WPS 表格或 Excel");
        throw OpenError("无法显示" + name + "：" + windows::windowsErrorText(error));
    }
    return DesktopShow(info.hProcess ? reinterpret_cast<std::intptr_t>(info.hProcess) : -1,
                       "表格程序");
}

} // namespace lanqi::platform
