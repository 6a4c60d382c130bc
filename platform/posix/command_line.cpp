#include "platform/command_line.h"

namespace lanqi::platform {

// Linux desktops pass and show UTF-8 as it is.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void useUtf8Console() {}

} // namespace lanqi::platform
