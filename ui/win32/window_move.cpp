#include "ui/win32/window_move.h"

namespace lanqi::ui::win32 {

void startWindowMove(HWND window) {
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

} // namespace lanqi::ui::win32
