#pragma once
#include <windows.h>

namespace lanqi::ui::win32 {

// A press on the bare surface: the system moves the window as if its title
// bar had been pressed, until the button is let go.
void startWindowMove(HWND window);

} // namespace lanqi::ui::win32
