#pragma once
// What both systems' file replace agree on: how its temporary files are
// named, when one counts as left behind, and the refusals users read.
#include <cstdint>
#include <ctime>
#include <string>

namespace lanqi::platform {

// A temporary file is "." + the file's name + "." + six letters or digits,
// in the file's own folder.
inline constexpr std::size_t kTempRandomLength = 6;
// A temporary file younger than this may belong to a save still running.
inline constexpr std::time_t kLeftoverAgeSeconds = 60;

// "." + name + ".", in UTF-8.
std::string tempPrefix(const std::string& fileName);
// Whether a name in the folder is one of the file's temporary files.
bool isTempName(const std::string& name, const std::string& prefix);

std::string readOnlyRefusal();
std::string hardLinkRefusal(std::uint64_t links);

} // namespace lanqi::platform
