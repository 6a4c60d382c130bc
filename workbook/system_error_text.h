#pragma once
// A system error number as a short Chinese phrase for messages.
#include <string>

namespace lanqi::xls {

std::string systemErrorText(int error);

} // namespace lanqi::xls
