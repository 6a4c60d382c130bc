#include "platform/this_machine.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fstream>
#include <limits.h>
#include <unistd.h>

namespace lanqi::platform {

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

// Linux lists every process under /proc, its program's name in "comm".
std::vector<std::string> runningProgramNames() {
    std::vector<std::string> names;
    DIR* proc = ::opendir("/proc");
    if (!proc) return names;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
        std::ifstream comm("/proc/" + pid + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name.empty()) continue;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(std::move(name));
    }
    ::closedir(proc);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace lanqi::platform
