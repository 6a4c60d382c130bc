#pragma once
// The program's key for a key code of the system, as both windows read it.
#include "editing/navigation.h"

#include <windows.h>

namespace lanqi::ui::win32 {

// Shift+Tab is BackTab; Tab with Ctrl or Alt, and keys the program gives no
// meaning, are Other.
Key keyOf(WPARAM virtualKey);

} // namespace lanqi::ui::win32
