#pragma once
#include <filesystem>

namespace lanqi::platform {

// The folder of the running executable; the working folder if the system
// cannot say.
std::filesystem::path executableFolder();

} // namespace lanqi::platform
