#include "platform/user_data_folder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace lanqi::platform {

std::filesystem::path userDataFolder() {
    // A relative XDG_DATA_HOME is to be ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return data;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) return {};
    return std::filesystem::path(home) / ".local" / "share";
}

} // namespace lanqi::platform
