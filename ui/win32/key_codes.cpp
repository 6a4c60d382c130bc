#include "ui/win32/key_codes.h"

namespace lanqi::ui::win32 {

namespace {

bool held(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

Key keyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_RETURN:
        return Key::Enter;
    case VK_TAB:
        if (held(VK_CONTROL) || held(VK_MENU)) return Key::Other;
        return held(VK_SHIFT) ? Key::BackTab : Key::Tab;
    case VK_UP:
        return Key::Up;
    case VK_DOWN:
        return Key::Down;
    case VK_LEFT:
        return Key::Left;
    case VK_RIGHT:
        return Key::Right;
    case VK_PRIOR:
        return Key::PageUp;
    case VK_NEXT:
        return Key::PageDown;
    case VK_ESCAPE:
        return Key::Escape;
    case VK_F3:
        return Key::F3;
    default:
        return Key::Other;
    }
}

} // namespace lanqi::ui::win32
