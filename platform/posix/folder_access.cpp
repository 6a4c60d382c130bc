#include "platform/folder_access.h"

#include <unistd.h>

namespace lanqi::platform {

bool folderWritable(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace lanqi::platform
