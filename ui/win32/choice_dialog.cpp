#include "ui/win32/choice_dialog.h"

#include "platform/windows/wide_text.h"

#include <windowsx.h>

#include <algorithm>

namespace lanqi::ui::win32 {

namespace {

constexpr int kMessageId = 100;
constexpr int kFirstButtonId = 200;

struct Question {
    std::wstring message;
    std::vector<std::wstring> buttons;
};

// An in-memory dialog template: the box, the message and the buttons. The
// places are set when the box opens, from the texts' sizes.
class Template {
  public:
    Template(std::wstring_view title, size_t buttons) {
        const DWORD style =
            DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER;
        put(style), put(0); // style, extended style
        words_.push_back(static_cast<WORD>(1 + buttons));
        for (int i = 0; i < 4; ++i) words_.push_back(0); // x, y, cx, cy
        words_.push_back(0), words_.push_back(0);       // no menu, the default class
        text(title);
        words_.push_back(9); // point size
        text(L"MS Shell Dlg 2");
        item(kMessageId, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0x0082);
        for (size_t i = 0; i < buttons; ++i)
            item(kFirstButtonId + static_cast<int>(i),
                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                 0x0080);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void put(DWORD d) {
        words_.push_back(LOWORD(d));
        words_.push_back(HIWORD(d));
    }
    void text(std::wstring_view s) {
        for (wchar_t c : s) words_.push_back(c);
        words_.push_back(0);
    }
    // An item of a predefined class (0x0080 button, 0x0082 static), DWORD aligned.
    void item(int id, DWORD style, WORD cls) {
        if (words_.size() % 2) words_.push_back(0);
        put(style), put(0);
        for (int i = 0; i < 4; ++i) words_.push_back(0);
        words_.push_back(static_cast<WORD>(id));
        words_.push_back(0xFFFF), words_.push_back(cls);
        words_.push_back(0); // no text: set when the box opens
        words_.push_back(0); // no creation data
    }
    std::vector<WORD> words_;
};

SIZE textSize(HWND control, const std::wstring& text, int maxWidth) {
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, GetWindowFont(control));
    RECT r{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right, r.bottom};
}

// Lays the box out around its texts: the message on top, the buttons in a
// row under it on the right.
void layOut(HWND box, const Question& q) {
    const int dpi = static_cast<int>(GetDpiForWindow(box));
    auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    const int margin = px(16), gap = px(8), buttonHeight = px(26);
    HWND message = GetDlgItem(box, kMessageId);
    SetWindowTextW(message, q.message.c_str());
    const SIZE text = textSize(message, q.message, px(420));

    std::vector<int> widths;
    int row = 0;
    for (size_t i = 0; i < q.buttons.size(); ++i) {
        HWND b = GetDlgItem(box, kFirstButtonId + static_cast<int>(i));
        SetWindowTextW(b, q.buttons[i].c_str());
        widths.push_back(std::max(px(80), static_cast<int>(textSize(b, q.buttons[i], px(400)).cx) + px(24)));
        row += widths.back() + (i ? gap : 0);
    }
    const int clientWidth = std::max(static_cast<int>(text.cx), row) + 2 * margin;
    const int clientHeight = margin + text.cy + margin + buttonHeight + margin;
    SetWindowPos(message, nullptr, margin, margin, text.cx, text.cy, SWP_NOZORDER);
    int x = clientWidth - margin - row;
    for (size_t i = 0; i < widths.size(); ++i) {
        SetWindowPos(GetDlgItem(box, kFirstButtonId + static_cast<int>(i)), nullptr, x,
                     clientHeight - margin - buttonHeight, widths[i], buttonHeight, SWP_NOZORDER);
        x += widths[i] + gap;
    }
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi));
    // Centred over the owner, or on the screen before the window is shown.
    HWND owner = GetWindow(box, GW_OWNER);
    RECT around{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &around);
    } else {
        MONITORINFO m{};
        m.cbSize = sizeof m;
        GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &m);
        around = m.rcWork;
    }
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(box, nullptr, (around.left + around.right - w) / 2,
                 (around.top + around.bottom - h) / 2, w, h, SWP_NOZORDER);
}

INT_PTR CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* q = reinterpret_cast<const Question*>(lParam);
        SetWindowLongPtrW(box, DWLP_USER, static_cast<LONG_PTR>(q->buttons.size()));
        layOut(box, *q);
        SendMessageW(box, DM_SETDEFID, kFirstButtonId, 0);
        SetFocus(GetDlgItem(box, kFirstButtonId));
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = GET_WM_COMMAND_ID(wParam, lParam);
        const auto count = static_cast<int>(GetWindowLongPtrW(box, DWLP_USER));
        if (id >= kFirstButtonId && id < kFirstButtonId + count)
            EndDialog(box, id - kFirstButtonId);
        else if (id == IDCANCEL)
            EndDialog(box, count - 1);
        else if (id == IDOK)
            EndDialog(box, 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

size_t askChoice(HWND owner, std::string_view title, std::string_view message,
                 const std::vector<std::string>& buttons) {
    Question q{platform::windows::widen(message), {}};
    for (const std::string& b : buttons) q.buttons.push_back(platform::windows::widen(b));
    if (q.buttons.empty()) q.buttons.push_back(L"确定");
    const Template t(platform::windows::widen(title), q.buttons.size());
    const INT_PTR chosen = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner,
                                                   boxProc, reinterpret_cast<LPARAM>(&q));
    if (chosen < 0) return q.buttons.size() - 1;
    return static_cast<size_t>(chosen);
}

} // namespace lanqi::ui::win32
