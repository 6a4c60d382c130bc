#include "ui/win32/frame_window.h"

#include "program/controls_table.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/face_button.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/window_move.h"

#include <windowsx.h>

#include <string>

namespace lanqi::ui::win32 {

namespace {

const FrameLook* lookOf(HWND frame) {
    return reinterpret_cast<const FrameLook*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
}

std::wstring captionOf(HWND frame) {
    wchar_t text[64] = {};
    GetWindowTextW(frame, text, 64);
    return text;
}

// The border of a group box, with the caption on its top edge.
void onPaint(HWND frame) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    const FrameLook* look = lookOf(frame);
    if (look && look->gdi) {
        const Look& l = frameControl().look;
        RECT r;
        GetClientRect(frame, &r);
        const HGDIOBJ oldFont = SelectObject(dc, look->gdi->font(l.font));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        RECT border = r;
        border.top += metrics.tmHeight / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

        const std::wstring caption = captionOf(frame);
        const int indent = MulDiv(8, static_cast<int>(look->gdi->dpi()), 96);
        SetTextColor(dc, GdiObjects::colour(l.text));
        SetBkColor(dc, GdiObjects::colour(l.back));
        SetBkMode(dc, OPAQUE);
        RECT text{indent, 0, r.right, metrics.tmHeight};
        DrawTextW(dc, (L" " + caption + L" ").c_str(), -1, &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
        SelectObject(dc, oldFont);

        if (look->ringed && IsWindowVisible(look->ringed)) {
            RECT ring;
            GetWindowRect(look->ringed, &ring);
            MapWindowRect(HWND_DESKTOP, frame, &ring);
            // A closed list is as high as its edit part.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(look->ringed, &info)) {
                RECT closed;
                GetClientRect(look->ringed, &closed);
                ring.bottom = ring.top + closed.bottom;
            }
            const int w = look->gdi->ringWidth();
            InflateRect(&ring, w, w);
            drawRing(dc, ring, *look->gdi);
        }
    }
    EndPaint(frame, &ps);
}

LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(frame);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // A press on the bare frame moves the whole window, not the frame.
        startWindowMove(GetParent(frame));
        return 0;
    // The controls' notices and colour questions are the window's to answer.
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

} // namespace

void registerFrameClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GdiObjects::brush(frameControl().look.back);
    wc.lpszClassName = kFrameClass;
    RegisterClassExW(&wc);
}

void setFrameLook(HWND frame, const FrameLook* look) {
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(look));
    InvalidateRect(frame, nullptr, TRUE);
}

} // namespace lanqi::ui::win32
