#include "platform/user_data_folder.h"

#include <windows.h>

#include <cstdlib>
#include <knownfolders.h>
#include <shlobj.h>

namespace lanqi::platform {

std::filesystem::path userDataFolder() {
    wchar_t* folder = nullptr;
    std::filesystem::path out;
    if (SUCCEEDED(
            ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)))
        out = folder;
    ::CoTaskMemFree(folder);
    if (out.empty())
        if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData && *appData) out = appData;
    return out;
}

} // namespace lanqi::platform
