#include "ui/win32/sheet_mirror.h"

#include "platform/utf16_text.h"
#include "platform/windows/wide_text.h"
#include "program/controls.h"
#include "ui/win32/controls.h"

#include <windowsx.h>

namespace lanqi::ui::win32 {

namespace {

bool isMemo(ControlId control) {
    return kControls[control].kind == Kind::Memo;
}

bool isList(ControlId control) {
    return kControls[control].kind == Kind::Combo;
}

std::u16string wideText(HWND h) {
    return platform::utf16(windowText(h));
}

} // namespace

std::string windowText(HWND h) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    const int n = GetWindowTextW(h, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return platform::windows::narrow(text);
}

void setWindowText(HWND h, std::string_view text) {
    SetWindowTextW(h, platform::windows::widen(text).c_str());
}

EditSelection editSelection(HWND edit) {
    EditSelection s;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start),
                 reinterpret_cast<LPARAM>(&s.end));
    return s;
}

std::string WindowsControls::text(ControlId control) const {
    const std::string text = windowText(controls_.handle(control));
    return isMemo(control) ? withoutCrLf(text) : text;
}

void WindowsControls::setText(ControlId control, std::string_view text) {
    setWindowText(controls_.handle(control), isMemo(control) ? withCrLf(text) : std::string(text));
}

bool WindowsControls::hasFocus(ControlId control) const {
    return controls_.rowOf(GetFocus()) == control;
}

TextSelection WindowsControls::selection(ControlId control) const {
    HWND h = controls_.handle(control);
    if (isList(control)) {
        DWORD start = 0, end = 0;
        SendMessageW(h, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    const EditSelection s = editSelection(h);
    if (!isMemo(control)) return {s.start, s.end};
    const std::u16string shown = wideText(h);
    return {sheetUnits(shown, s.start), sheetUnits(shown, s.end)};
}

void WindowsControls::select(ControlId control, TextSelection s) {
    HWND h = controls_.handle(control);
    if (isList(control)) {
        ComboBox_SetEditSel(h, s.start, s.end);
    } else if (isMemo(control)) {
        const std::u16string shown = wideText(h);
        Edit_SetSel(h, controlUnits(shown, s.start), controlUnits(shown, s.end));
    } else {
        Edit_SetSel(h, s.start, s.end);
    }
}

void WindowsControls::setEntry(ControlId list, int k, std::string_view text) {
    HWND h = controls_.handle(list);
    ComboBox_DeleteString(h, k);
    ComboBox_InsertString(h, k, platform::windows::widen(text).c_str());
}

void WindowsControls::addEntries(ControlId list, const std::vector<std::string>& entries) {
    for (const std::string& e : entries)
        ComboBox_AddString(controls_.handle(list), platform::windows::widen(e).c_str());
}

void WindowsControls::removeEntries(ControlId list, int first) {
    HWND h = controls_.handle(list);
    while (ComboBox_GetCount(h) > first) ComboBox_DeleteString(h, ComboBox_GetCount(h) - 1);
}

void WindowsControls::selectEntry(ControlId list, int k) {
    HWND h = controls_.handle(list);
    if (ComboBox_GetCurSel(h) != k) ComboBox_SetCurSel(h, k);
}

// Its own flag: before the window is shown no control is visible yet.
void WindowsControls::setShown(ControlId control, bool shown) {
    HWND h = controls_.handle(control);
    if (((GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0) != shown)
        ShowWindow(h, shown ? SW_SHOWNA : SW_HIDE);
}

void WindowsControls::setCaption(ControlId label, std::string_view caption) {
    setWindowText(controls_.handle(label), caption);
}

} // namespace lanqi::ui::win32
