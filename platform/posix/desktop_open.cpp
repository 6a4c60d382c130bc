#include "platform/desktop_open.h"

#include "platform/desktop_show.h"

namespace lanqi::platform {

// The watch runs on by itself; nobody asks how it went.
void openOnDesktop(const std::filesystem::path& file) {
    showOnDesktop(file);
}

} // namespace lanqi::platform
