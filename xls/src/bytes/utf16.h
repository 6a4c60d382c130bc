#pragma once
// UTF-16 and UTF-8, both ways: the compound file's entry names and the
// workbook's strings are UTF-16, the engine's callers speak UTF-8.
#include <string>
#include <string_view>

namespace lanqi::xls {

// Surrogate pairs become one character; a lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view s);
// Bytes that are not UTF-8 become U+FFFD, one for each byte.
std::u16string utf8ToUtf16(std::string_view s);

} // namespace lanqi::xls
