#include "platform/windows/wide_text.h"

#include "platform/utf16_text.h"

#include <windows.h>

namespace lanqi::platform::windows {

// wchar_t is a UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring widen(std::string_view utf8) {
    const std::u16string units = utf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(std::wstring_view wide) {
    return utf8(std::u16string(wide.begin(), wide.end()));
}

std::string windowsErrorText(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "文件或文件夹不存在";
    case ERROR_ACCESS_DENIED:
        return "没有访问权限";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "文件正被其他程序占用";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "磁盘空间不足";
    case ERROR_WRITE_PROTECT:
        return "磁盘是只读的";
    case ERROR_FILENAME_EXCED_RANGE:
        return "路径太长";
    case ERROR_DIRECTORY:
        return "这是一个文件夹";
    default:
        break;
    }
    wchar_t* text = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::string message = systemMessageText(std::wstring_view(text ? text : L"", n));
    if (text) ::LocalFree(text);
    std::string code = std::to_string(error);
    return message.empty() ? "系统错误 " + code : "系统错误 " + code + "：" + message;
}

// Inserts: %1 … %99, each maybe with a printf format between '!'; %0 ends
// the message; %n, %r and %t are line breaks and a tab; %% and the like a
// character. The thing an insert names is what the caller's own words say.
std::string systemMessageText(std::wstring_view raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        const wchar_t c = raw[i];
        if (c != L'%' || i + 1 == raw.size()) {
            out += c == L'\r' || c == L'\n' || c == L'\t' ? L' ' : c;
            continue;
        }
        const wchar_t next = raw[++i];
        if (next == L'0') break;
        if (next >= L'1' && next <= L'9') {
            while (i + 1 < raw.size() && raw[i + 1] >= L'0' && raw[i + 1] <= L'9') ++i;
            if (i + 1 < raw.size() && raw[i + 1] == L'!') {
                const size_t close = raw.find(L'!', i + 2);
                i = close == std::wstring_view::npos ? raw.size() : close;
            }
        } else if (next == L'n' || next == L'r' || next == L't') {
            out += L' ';
        } else {
            out += next;
        }
    }
    // Spaces where an insert stood or lines met; the end's full stop.
    std::wstring tidy;
    for (wchar_t c : out)
        if (c != L' ' || (!tidy.empty() && tidy.back() != L' ')) tidy += c;
    while (!tidy.empty() && (tidy.back() == L' ' || tidy.back() == L'.' || tidy.back() == L'。'))
        tidy.pop_back();
    return narrow(tidy);
}

} // namespace lanqi::platform::windows
