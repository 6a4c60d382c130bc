#include "ui/win32/fitted_field.h"

#include "platform/windows/wide_text.h"
#include "program/fit_text.h"
#include "ui/win32/sheet_mirror.h"

#include <commctrl.h>

#include <string>

namespace lanqi::ui::win32 {

namespace {

constexpr UINT_PTR kFittedFieldSubclass = 1;

LOGFONTW logFontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

int measure(HDC dc, HFONT font, std::string_view text) {
    const std::wstring wide = platform::windows::widen(text);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

// The whole text as the field's tooltip; an empty tip shows none.
void setTip(const FieldPainter& p, HWND field, const std::string& text) {
    if (!p.tooltip || p.tip == text) return;
    p.tip = text;
    std::wstring tip = platform::windows::widen(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(field);
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    tool.lpszText = tip.data();
    SendMessageW(p.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

UINT alignOf(HWND field) {
    const LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
    if (style & ES_CENTER) return DT_CENTER;
    if (style & ES_RIGHT) return DT_RIGHT;
    return DT_LEFT;
}

// True when the field was drawn here; false leaves it to the edit field.
bool paintFitted(HWND field, const FieldPainter& p) {
    if (GetFocus() == field || !p.fonts) return false;
    const std::string text = windowText(field);
    if (text.empty()) {
        setTip(p, field, text);
        return false;
    }
    RECT r;
    GetClientRect(field, &r);
    const DWORD margins = static_cast<DWORD>(SendMessageW(field, EM_GETMARGINS, 0, 0));
    RECT inner = r;
    inner.left += LOWORD(margins);
    inner.right -= HIWORD(margins);

    HDC probe = GetDC(field);
    const int size = p.fonts->pixelSize(p.font);
    const FittedText fitted =
        fitText(text, inner.right - inner.left, size, [&](std::string_view t, TextForm form) {
            return measure(probe, p.fonts->font(p.font, form.pixelSize, form.stretch), t);
        });
    ReleaseDC(field, probe);
    setTip(p, field, fitted.cut ? text : std::string());
    if (fitted.form == TextForm{size, 100} && !fitted.cut) return false;

    PAINTSTRUCT ps;
    HDC dc = BeginPaint(field, &ps);
    // The colours the window gives the field, as the edit field would ask.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(field), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field)));
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    const HGDIOBJ old = SelectObject(dc, p.fonts->font(p.font, fitted.form.pixelSize, fitted.form.stretch));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring shown = platform::windows::widen(fitted.shown);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()),
              &inner, alignOf(field) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(field, &ps);
    return true;
}

LRESULT CALLBACK fieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
    const auto* painter = reinterpret_cast<const FieldPainter*>(data);
    switch (message) {
    case WM_PAINT:
        if (paintFitted(field, *painter)) return 0;
        break;
    // Edited, the field shows its plain text; left, its fitted one.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(field, nullptr, TRUE);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(field, fieldProc, kFittedFieldSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

} // namespace

void FittedFonts::use(const GdiObjects* gdi) {
    gdi_ = gdi;
    made_.clear();
}

int FittedFonts::pixelSize(Font f) const {
    const LONG height = logFontOf(gdi_->font(f)).lfHeight;
    return static_cast<int>(height < 0 ? -height : height);
}

HFONT FittedFonts::font(Font f, int pixelSize, int stretch) {
    auto& made = made_[{f, pixelSize, stretch}];
    if (!made.get()) {
        LOGFONTW lf = logFontOf(gdi_->font(f));
        lf.lfHeight = -pixelSize;
        lf.lfWidth = 0;
        if (stretch != 100) {
            // The average width of the plain form (made and kept too), narrowed.
            HDC dc = GetDC(nullptr);
            const HGDIOBJ old = SelectObject(dc, font(f, pixelSize, 100));
            TEXTMETRICW tm{};
            GetTextMetricsW(dc, &tm);
            SelectObject(dc, old);
            ReleaseDC(nullptr, dc);
            lf.lfWidth = std::max(1L, tm.tmAveCharWidth * stretch / 100);
        }
        made = GdiHandle<HFONT>(CreateFontIndirectW(&lf));
    }
    return made.get();
}

void attachFittedField(HWND field, const FieldPainter* painter) {
    SetWindowSubclass(field, fieldProc, kFittedFieldSubclass, reinterpret_cast<DWORD_PTR>(painter));
    if (!painter->tooltip) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(field);
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(painter->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND makeFieldTooltip(HWND form, HINSTANCE instance) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form,
                           nullptr, instance, nullptr);
}

} // namespace lanqi::ui::win32
