#pragma once
// Paths to and from the program's UTF-8 text. A path built from a plain
// std::string is read in the system's narrow code page on Windows, which
// garbles names like 账单明细.xls; these go through char8_t on every system.
#include <filesystem>
#include <string>
#include <string_view>

namespace lanqi::platform {

inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace lanqi::platform
