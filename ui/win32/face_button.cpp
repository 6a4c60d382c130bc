#include "ui/win32/face_button.h"

#include "platform/windows/wide_text.h"
#include "program/controls_table.h"
#include "ui/win32/gdi_objects.h"

namespace lanqi::ui::win32 {

namespace {

TRIVERTEX vertex(LONG x, LONG y, COLORREF c) {
    return {x, y, static_cast<COLOR16>(GetRValue(c) << 8), static_cast<COLOR16>(GetGValue(c) << 8),
            static_cast<COLOR16>(GetBValue(c) << 8), 0};
}

// Top, middle and bottom of the gradient.
struct Shades {
    COLORREF top, middle, bottom;
};
constexpr Shades kFace{RGB(92, 150, 230), RGB(28, 92, 196), RGB(12, 56, 140)};
constexpr Shades kPressedFace{RGB(150, 196, 250), RGB(84, 148, 232), RGB(60, 120, 214)};

void fillGradient(HDC dc, const RECT& r, const Shades& s) {
    const LONG mid = (r.top + r.bottom) / 2;
    TRIVERTEX v[] = {vertex(r.left, r.top, s.top), vertex(r.right, mid, s.middle),
                     vertex(r.left, mid, s.middle), vertex(r.right, r.bottom, s.bottom)};
    GRADIENT_RECT parts[] = {{0, 1}, {2, 3}};
    GradientFill(dc, v, 4, parts, 2, GRADIENT_FILL_RECT_V);
}

// A bevel: light top and left edge, dark bottom and right edge.
void drawBevel(HDC dc, const RECT& r) {
    RECT e = r;
    DrawEdge(dc, &e, BDR_RAISEDOUTER, BF_RECT | BF_SOFT);
}

} // namespace

void drawRing(HDC dc, RECT r, const GdiObjects& gdi) {
    const int half = gdi.ringWidth() / 2;
    InflateRect(&r, -half, -half);
    const HGDIOBJ oldPen = SelectObject(dc, gdi.ringPen());
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void drawFace(const DRAWITEMSTRUCT& item, const Control& button, const GdiObjects& gdi) {
    const bool held = (item.itemState & ODS_SELECTED) && !button.pressedCaption.empty();
    const RECT r = item.rcItem;
    HDC dc = item.hDC;
    fillGradient(dc, r, held ? kPressedFace : kFace);
    drawBevel(dc, r);

    const std::wstring words =
        platform::windows::widen(held ? button.pressedCaption : button.caption);
    RECT text = r;
    const HGDIOBJ oldFont = SelectObject(dc, gdi.faceFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (item.itemState & ODS_FOCUS) drawRing(dc, r, gdi);
}

} // namespace lanqi::ui::win32
