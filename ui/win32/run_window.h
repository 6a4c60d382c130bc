#pragma once
// The program on Windows from its start to its end: the window is made
// first; one that cannot be made is told and nothing is started, so no copy
// without a window holds the lock that keeps a second copy out. Then the
// start-up, the window shown, and its messages until the program ends.
#include "program/program.h"

#include <windows.h>

namespace lanqi::ui::win32 {

// The program's exit code.
int runWindow(HINSTANCE instance, Program& program, int showCommand);

} // namespace lanqi::ui::win32
