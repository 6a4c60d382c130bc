#pragma once
#include <filesystem>

namespace lanqi::platform {

// The folder for the user's own data files: $XDG_DATA_HOME, else
// ~/.local/share (Linux); the roaming application data folder (Windows).
// Empty when the system cannot say.
std::filesystem::path userDataFolder();

} // namespace lanqi::platform
