#include "ui/win32/sheet_mirror.h"

#include "platform/windows/wide_text.h"
#include "program/controls.h"
#include "ui/win32/controls.h"

#include <windowsx.h>

namespace lanqi::ui::win32 {

namespace {

std::string withLineEnds(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i, from.size()) == from) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool isMemo(FieldId field) {
    return kControls[controlOf(field)].kind == Kind::Memo;
}

} // namespace

std::string fieldLines(std::string_view programText) {
    return withLineEnds(programText, "\n", "\r\n");
}

std::string programLines(std::string_view fieldText) {
    return withLineEnds(fieldText, "\r\n", "\n");
}

std::string windowText(HWND h) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    const int n = GetWindowTextW(h, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return platform::windows::narrow(text);
}

void setWindowText(HWND h, std::string_view text) {
    SetWindowTextW(h, platform::windows::widen(text).c_str());
}

SheetMirror::SheetMirror(Program& program, const Controls& controls)
    : program_(program), sheet_(program.sheet()), controls_(controls) {
    TallySheet& sheet = program.sheet();
    for (int a = 0; a < kArrCount; ++a) {
        const Arr arr = static_cast<Arr>(a);
        watches_.push_back(sheet.onChange(arr, [this, arr](int index) { showField({arr, index}); }));
    }
    watches_.push_back(sheet.onComboChange([this](Combo combo) { showList(combo); }));
    watches_.push_back(sheet.onCaptionChange([this](Label label) { showCaption(label); }));
}

void SheetMirror::showAll() {
    for (const FieldId& field : allFields()) showField(field);
    for (int c = 0; c < kComboCount; ++c) showList(static_cast<Combo>(c));
    for (int l = 0; l < kLabelCount; ++l) showCaption(static_cast<Label>(l));
}

void SheetMirror::showField(FieldId field) {
    HWND h = controls_.handle(controlOf(field));
    const std::string& text = sheet_.text(field);
    const std::string shown = isMemo(field) ? fieldLines(text) : text;
    if (windowText(h) == shown) return;
    // The caret stays where it was when the program rewrites what is typed
    // (a full-width digit made ASCII has the same length).
    DWORD start = 0, end = 0;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool focused = GetFocus() == h;
    writing_ = true;
    setWindowText(h, shown);
    writing_ = false;
    if (focused) Edit_SetSel(h, start, end);
}

void SheetMirror::showList(Combo combo) {
    HWND h = controls_.handle(controlOf(combo));
    const ComboState& state = sheet_.combo(combo);
    std::vector<std::string>& items = shownItems_[static_cast<size_t>(combo)];
    writing_ = true;
    if (items != state.items) {
        while (items.size() > state.items.size()) {
            ComboBox_DeleteString(h, items.size() - 1);
            items.pop_back();
        }
        for (size_t k = 0; k < state.items.size(); ++k) {
            const std::wstring item = platform::windows::widen(state.items[k]);
            if (k < items.size() && items[k] != state.items[k]) {
                ComboBox_DeleteString(h, k);
                ComboBox_InsertString(h, k, item.c_str());
            } else if (k >= items.size()) {
                ComboBox_AddString(h, item.c_str());
            }
        }
        items = state.items;
    }
    if (ComboBox_GetCurSel(h) != state.selected) ComboBox_SetCurSel(h, state.selected);
    if (windowText(h) != state.text) setWindowText(h, state.text);
    writing_ = false;
    // Its own flag: before the window is shown no control is visible yet.
    const bool shown = (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != state.visible) ShowWindow(h, state.visible ? SW_SHOWNA : SW_HIDE);
}

void SheetMirror::showCaption(Label label) {
    HWND h = controls_.handle(controlOf(label));
    const std::string& text = sheet_.caption(label);
    if (windowText(h) != text) setWindowText(h, text);
}

void SheetMirror::fieldEdited(ControlId id) {
    if (writing_) return;
    const auto field = fieldOf(id);
    if (!field) return;
    const std::string text = windowText(controls_.handle(id));
    program_.textTyped(*field, isMemo(*field) ? programLines(text) : text);
    // The program may have written the text over (full-width digits).
    showField(*field);
}

void SheetMirror::listPicked(ControlId id) {
    if (writing_) return;
    if (const auto combo = comboOf(id))
        program_.listPicked(*combo, ComboBox_GetCurSel(controls_.handle(id)));
}

void SheetMirror::listTextEdited(ControlId id) {
    if (writing_) return;
    if (const auto combo = comboOf(id))
        program_.listTextTyped(*combo, windowText(controls_.handle(id)));
}

} // namespace lanqi::ui::win32
