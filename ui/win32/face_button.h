#pragma once
// The picture buttons: white words on a blue gradient, drawn by the window,
// with the lighter second face while a button that has one is held down and
// an amber ring while it has the focus.
#include <windows.h>

#include <string_view>

namespace lanqi::ui {
struct Control;
}

namespace lanqi::ui::win32 {

class GdiObjects;

void drawFace(const DRAWITEMSTRUCT& item, const Control& button, const GdiObjects& gdi);

// A rectangle ring of the focus colour inside `r`.
void drawRing(HDC dc, RECT r, const GdiObjects& gdi);

} // namespace lanqi::ui::win32
