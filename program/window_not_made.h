#pragma once
// A window that cannot be made is told to the user, and the program ends at
// once: before it takes the lock that lets one copy run, so that no copy
// without a window keeps every later start out.
#include <string>

namespace lanqi {

// What the user is told; `systemError` is the system's number for the cause
// (0: none known).
std::string windowNotMadeMessage(unsigned long systemError);

} // namespace lanqi
