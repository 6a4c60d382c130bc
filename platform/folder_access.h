#pragma once
#include <filesystem>

namespace lanqi::platform {

// Whether the running user may create and replace files in `folder`.
bool folderWritable(const std::filesystem::path& folder);

} // namespace lanqi::platform
