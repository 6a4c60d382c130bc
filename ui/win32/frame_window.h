#pragma once
// Frame1: the box that holds every control, with its caption "澜栖" drawn on
// its border, the only title the borderless window has. A press on its bare
// area moves the window; the notices of the controls inside go on to the
// window.
#include <windows.h>

namespace lanqi::ui::win32 {

class GdiObjects;

// Registers the frame's window class.
void registerFrameClass(HINSTANCE instance);

// What the frame draws with, and the list it rings while that list has the focus.
struct FrameLook {
    const GdiObjects* gdi = nullptr;
    HWND ringed = nullptr;
};
void setFrameLook(HWND frame, const FrameLook* look);

} // namespace lanqi::ui::win32
