#include "platform/command_line.h"

#include "platform/windows/wide_text.h"

#include <windows.h>

#include <shellapi.h>

namespace lanqi::platform {

std::vector<std::string> utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; args && i < count; ++i) out.push_back(windows::narrow(args[i]));
    ::LocalFree(args);
    return out;
}

void useUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
}

} // namespace lanqi::platform
