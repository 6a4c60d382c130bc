#include "platform/desktop_open.h"

#include "platform/utf8_path.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace lanqi::platform {

// The program the file's type is registered to (Excel, WPS), through the
// shell, which starts it and returns.
void openOnDesktop(const std::filesystem::path& file) {
    const std::string name = utf8Text(file.filename());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw OpenError("无法显示" + name + "：找不到文件（" + utf8Text(file) + "）");
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);

    // Some shell handlers are COM objects; the window's thread may already be
    // initialised, in which case this changes nothing.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = absolute.c_str();
    info.nShow = SW_SHOWNORMAL;
    BOOL started = ::ShellExecuteExW(&info);
    DWORD error = started ? 0 : ::GetLastError();
    if (SUCCEEDED(com)) ::CoUninitialize();
    if (started) return;
    if (error == ERROR_NO_ASSOCIATION || error == ERROR_FILE_NOT_FOUND)
        throw OpenError("无法显示" + name +
                        "：没有找到可以打开它的电子表格程序，请安装 WPS 表格或 Excel");
    throw OpenError("无法显示" + name + "：" + windows::windowsErrorText(error));
}

} // namespace lanqi::platform
