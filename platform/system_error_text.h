#pragma once
// A system error number as a short Chinese phrase for messages.
#include <string>

namespace lanqi::platform {

std::string systemErrorText(int error);

} // namespace lanqi::platform
