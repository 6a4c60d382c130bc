#pragma once
// UTF-8 to and from the UTF-16 of the wide Windows calls, and Windows error
// codes as Chinese phrases.
#include <string>
#include <string_view>

namespace lanqi::platform::windows {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// A GetLastError() code as a short phrase for messages.
std::string windowsErrorText(unsigned long error);
// A system message as FormatMessage gives it without arguments, fit for a
// message of the program's: its inserts ("%1") left out, on one line.
std::string systemMessageText(std::wstring_view raw);

} // namespace lanqi::platform::windows
