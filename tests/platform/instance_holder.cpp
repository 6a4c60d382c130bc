// A second process for the Windows platform tests:
//   instance_holder hold LOCKFILE   takes the lock, prints y or n, and waits
//                                   to be ended if it got the lock
//   instance_holder try LOCKFILE    exits 0 if it gets the lock, 3 if not
//   instance_holder folder          prints its executable's folder in UTF-8
#include "platform/executable_folder.h"
#include "platform/single_instance.h"
#include "platform/utf8_path.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace lanqi::platform;
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "folder") {
        std::fputs(utf8Text(executableFolder()).c_str(), stdout);
        return 0;
    }
    if (argc < 3) return 2;
    SingleInstance instance{std::filesystem::path(argv[2])};
    if (mode == "try") return instance.acquired() ? 0 : 3;
    std::fputc(instance.acquired() ? 'y' : 'n', stdout);
    std::fflush(stdout);
    if (instance.acquired()) ::Sleep(INFINITE);
    return 0;
}
