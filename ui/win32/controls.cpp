#include "ui/win32/controls.h"

#include "program/controls.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/gdi_objects.h"
#include "platform/windows/wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <numeric>

namespace lanqi::ui::win32 {

using platform::windows::widen;

namespace {

DWORD alignStyle(Kind kind, Align align) {
    if (kind == Kind::Label)
        return align == Align::Centre ? SS_CENTER : align == Align::Right ? SS_RIGHT : SS_LEFT;
    return align == Align::Centre ? ES_CENTER : align == Align::Right ? ES_RIGHT : ES_LEFT;
}

struct Native {
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
};

// Labels take clicks (SS_NOTIFY) so that a press on one does not fall
// through to the frame and move the window.
Native nativeOf(const Control& c) {
    const DWORD stop = c.tabStop ? WS_TABSTOP : 0;
    switch (c.kind) {
    case Kind::Frame:
        return {kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case Kind::TextBox:
        return {L"EDIT", stop | ES_AUTOHSCROLL | alignStyle(c.kind, c.look.align), WS_EX_CLIENTEDGE};
    case Kind::Memo:
        return {L"EDIT", stop | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case Kind::Label:
        return {L"STATIC", SS_NOTIFY | alignStyle(c.kind, c.look.align), 0};
    case Kind::Combo:
        return {L"COMBOBOX", stop | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
    case Kind::Button:
        return {L"BUTTON", stop | BS_OWNERDRAW, 0};
    }
    return {L"STATIC", 0, 0};
}

// The rows in tab order: the system's Tab follows the controls' stacking.
std::array<size_t, kControls.size()> tabOrder() {
    std::array<size_t, kControls.size()> rows{};
    std::iota(rows.begin(), rows.end(), size_t{0});
    std::sort(rows.begin(), rows.end(),
              [](size_t a, size_t b) { return kControls[a].tab < kControls[b].tab; });
    return rows;
}

// An open list shows this many entries.
constexpr int kListEntries = 12;
// An open list's height in closed lists' heights, before its font is known.
constexpr int kOpenListLines = 10;

int openListHeight(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)) * kListEntries;
}

// A closed list as high as the table says: its edit part takes what the
// list's border leaves.
void fitClosedHeight(HWND combo, int height) {
    RECT r;
    GetWindowRect(combo, &r);
    const auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    const int wanted = item + height - (r.bottom - r.top);
    if (wanted != item && wanted > 0)
        SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), wanted);
}

} // namespace

const Control& frameControl() {
    for (const Control& c : kControls)
        if (c.kind == Kind::Frame) return c;
    return kControls.front();
}

int scaled(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

Pixels scaled(const Twips& place, UINT dpi) {
    return {scaled(place.left, dpi), scaled(place.top, dpi), scaled(place.width, dpi),
            scaled(place.height, dpi)};
}

// Each control is made at its place for `dpi`. A new control goes to the
// bottom of its siblings' stack, so made in tab order the stack is the tab
// order that the system's Tab follows.
void Controls::create(HWND form, HINSTANCE instance, UINT dpi) {
    auto make = [&](size_t row, HWND parent) {
        const Control& c = kControls[row];
        const Native n = nativeOf(c);
        const Pixels p = scaled(c.place, dpi);
        const int extra = c.kind == Kind::Combo ? kOpenListLines * p.height : 0;
        return CreateWindowExW(
            n.exStyle, n.cls, widen(c.caption).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | n.style, p.left, p.top, p.width,
            p.height + extra, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(static_cast<int>(row)))),
            instance, nullptr);
    };
    for (size_t row = 0; row < kControls.size(); ++row)
        if (kControls[row].kind == Kind::Frame) frame_ = handles_[row] = make(row, form);
    for (size_t row : tabOrder())
        if (kControls[row].kind != Kind::Frame) handles_[row] = make(row, frame_);
    // The labels go under everything, in the table's drawing order; the other
    // controls, none of which overlaps another, stay stacked in tab order.
    const std::span<const ControlId> order = drawingOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (kControls[*it].kind == Kind::Label)
            SetWindowPos(handles_[*it], HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void Controls::place(const GdiObjects& gdi) const {
    const UINT dpi = gdi.dpi();
    for (size_t row = 0; row < kControls.size(); ++row) {
        const Control& c = kControls[row];
        const Pixels p = scaled(c.place, dpi);
        const int extra = c.kind == Kind::Combo ? openListHeight(handles_[row]) : 0;
        SetWindowPos(handles_[row], nullptr, p.left, p.top, p.width, p.height + extra,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    dress(gdi);
}

void Controls::dress(const GdiObjects& gdi) const {
    const UINT dpi = gdi.dpi();
    for (size_t row = 0; row < kControls.size(); ++row) {
        const Control& c = kControls[row];
        HWND h = handles_[row];
        SetWindowFont(h, gdi.font(c.look.font), FALSE);
        if (c.kind == Kind::Combo) fitClosedHeight(h, scaled(c.place.height, dpi));
        if (c.kind == Kind::TextBox || c.kind == Kind::Memo)
            SendMessageW(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(scaled(15, dpi), scaled(15, dpi)));
    }
}

std::optional<size_t> Controls::rowOf(HWND h) const {
    for (; h; h = GetParent(h)) {
        const int row = GetDlgCtrlID(h) - kFirstControlId;
        if (row >= 0 && row < static_cast<int>(kControls.size()) &&
            handles_[static_cast<size_t>(row)] == h)
            return static_cast<size_t>(row);
    }
    return std::nullopt;
}

} // namespace lanqi::ui::win32
