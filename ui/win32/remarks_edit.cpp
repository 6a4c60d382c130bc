#include "ui/win32/remarks_edit.h"

#include "platform/utf16_text.h"
#include "ui/win32/sheet_mirror.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <string>

namespace lanqi::ui::win32 {

namespace {

constexpr UINT_PTR kRemarksSubclass = 2;

struct Remarks {
    Program* program;
    char16_t pendingHigh = 0; // the first half of a character typed in two
};

// The selection's length as the sheet counts it: a line break is one unit.
size_t selectedUnits(HWND memo) {
    const EditSelection s = editSelection(memo);
    const std::u16string shown = platform::utf16(windowText(memo));
    return sheetUnits(shown, s.end) - sheetUnits(shown, s.start);
}

void replaceSelection(HWND memo, const std::u16string& text) {
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// What an input method has just composed, once it is done.
std::u16string composedText(HWND memo) {
    std::u16string text;
    if (HIMC context = ImmGetContext(memo)) {
        const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
        if (bytes > 0) {
            text.resize(static_cast<size_t>(bytes) / sizeof(char16_t));
            ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(),
                                     static_cast<DWORD>(bytes));
        }
        ImmReleaseContext(memo, context);
    }
    return text;
}

std::u16string clipboardText(HWND owner) {
    std::u16string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Offers `typed` to the program; inserts what it lets in.
void offer(HWND memo, Remarks& r, const std::u16string& text, Input how) {
    const std::string fitted =
        r.program->fitIntoRemarks(withoutCrLf(platform::utf8(text)), selectedUnits(memo), how);
    if (!fitted.empty()) replaceSelection(memo, platform::utf16(withCrLf(fitted)));
}

LRESULT CALLBACK remarksProc(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    auto& r = *reinterpret_cast<Remarks*>(data);
    switch (message) {
    case WM_GETDLGCODE:
        // Tab moves on, as from every other field.
        return DefSubclassProc(memo, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
    case WM_CHAR: {
        const auto unit = static_cast<char16_t>(wParam);
        if (unit < 0x20) break; // Backspace and the control keys
        if (unit >= 0xD800 && unit < 0xDC00) {
            r.pendingHigh = unit;
            return 0;
        }
        std::u16string typed;
        if (r.pendingHigh && unit >= 0xDC00 && unit < 0xE000) typed += r.pendingHigh;
        r.pendingHigh = 0;
        typed += unit;
        offer(memo, r, typed, Input::Typed);
        return 0;
    }
    case WM_PASTE:
        offer(memo, r, clipboardText(memo), Input::Pasted);
        return 0;
    // Text from an input method (拼音, 五笔) goes in as typed text does.
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) {
            offer(memo, r, composedText(memo), Input::Typed);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(memo, remarksProc, kRemarksSubclass);
        delete &r;
        break;
    default:
        break;
    }
    return DefSubclassProc(memo, message, wParam, lParam);
}

} // namespace

void attachRemarksEdit(HWND memo, Program& program) {
    // The field takes as much as the remarks hold, however many line breaks
    // (two units each here) they have.
    Edit_LimitText(memo, 0);
    SetWindowSubclass(memo, remarksProc, kRemarksSubclass,
                      reinterpret_cast<DWORD_PTR>(new Remarks{&program}));
}

} // namespace lanqi::ui::win32
