#pragma once
// The program's messages and questions: a modal box under the program's
// title with the message and one button per named choice (a message box
// offers only fixed buttons). The first button is the default; Escape and
// the close box give the last.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ui::win32 {

// The index of the button pressed. No buttons named gives the one button "确定".
size_t askChoice(HWND owner, std::string_view title, std::string_view message,
                 const std::vector<std::string>& buttons);

} // namespace lanqi::ui::win32
