#pragma once
// Texts kept in one line: fields joined by tabs, with the backslash, tab,
// line feed and carriage return inside a field written as \\, \t, \n and \r,
// so any text a field holds comes back as it was.
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ledger {

std::string joinFields(const std::vector<std::string>& fields);
// The fields of one joined line; the line ends at its first line feed.
std::vector<std::string> splitFields(std::string_view line);

} // namespace lanqi::ledger
