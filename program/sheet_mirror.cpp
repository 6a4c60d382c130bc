#include "program/sheet_mirror.h"

#include "platform/utf16_text.h"

#include <algorithm>

namespace lanqi::ui {

SheetMirror::SheetMirror(Program& program, MirrorControls& controls)
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
    for (ControlId id = 0; id < kControls.size(); ++id) {
        if (const auto field = fieldOf(id)) showField(*field);
        if (const auto combo = comboOf(id)) showList(*combo);
        if (const auto label = captionOf(id)) showCaption(*label);
    }
}

void SheetMirror::write(ControlId control, std::string_view text, bool startWhenUnfocused) {
    if (controls_.text(control) == text) return;
    const bool focused = controls_.hasFocus(control);
    TextSelection kept = focused ? controls_.selection(control) : TextSelection{};
    const std::size_t length = platform::utf16Length(text);
    kept.start = std::min(kept.start, length);
    kept.end = std::min(kept.end, length);
    writing_ = true;
    controls_.setText(control, text);
    if (focused || startWhenUnfocused) controls_.select(control, kept);
    writing_ = false;
}

void SheetMirror::showField(FieldId field) {
    const ControlId id = controlOf(field);
    // The remarks being edited already show the edit.
    if (editing_ && *editing_ == id) return;
    write(id, sheet_.text(field), false);
}

void SheetMirror::showList(Combo combo) {
    const ControlId id = controlOf(combo);
    const ComboState& state = sheet_.combo(combo);
    ShownList& shown = lists_[static_cast<std::size_t>(combo)];
    writing_ = true;
    const bool entriesChanged = shown.entries != state.items;
    if (entriesChanged) {
        const std::size_t common = std::min(shown.entries.size(), state.items.size());
        for (std::size_t k = 0; k < common; ++k)
            if (shown.entries[k] != state.items[k])
                controls_.setEntry(id, static_cast<int>(k), state.items[k]);
        if (shown.entries.size() > common) controls_.removeEntries(id, static_cast<int>(common));
        if (state.items.size() > common)
            controls_.addEntries(id, {state.items.begin() + static_cast<std::ptrdiff_t>(common),
                                      state.items.end()});
        shown.entries = state.items;
    }
    // A toolkit may move its list's selection when the entries change.
    if (entriesChanged || !shown.known || shown.selected != state.selected)
        controls_.selectEntry(id, state.selected);
    shown.selected = state.selected;
    writing_ = false;
    write(id, state.text, true);
    if (!shown.known || shown.shown != state.visible) controls_.setShown(id, state.visible);
    shown.shown = state.visible;
    shown.known = true;
}

void SheetMirror::showCaption(Label label) {
    const ControlId id = controlOf(label);
    const std::string& caption = sheet_.caption(label);
    if (controls_.text(id) != caption) controls_.setCaption(id, caption);
}

void SheetMirror::fieldEdited(ControlId control) {
    if (writing_) return;
    const std::optional<FieldId> field = fieldOf(control);
    if (!field) return;
    editing_ = control;
    program_.textTyped(*field, controls_.text(control));
    editing_.reset();
    // The program may have made the text its own (full-width digits).
    showField(*field);
}

void SheetMirror::listPicked(ControlId list, int entry) {
    if (writing_) return;
    if (const std::optional<Combo> combo = comboOf(list)) program_.listPicked(*combo, entry);
}

void SheetMirror::listTextEdited(ControlId list) {
    if (writing_) return;
    if (const std::optional<Combo> combo = comboOf(list))
        program_.listTextTyped(*combo, controls_.text(list));
}

void SheetMirror::remarksEdited(ControlId remarks, std::size_t position, std::size_t removed,
                                std::string_view inserted) {
    if (writing_) return;
    editing_ = remarks;
    const bool edited = program_.remarksEdited(position, removed, inserted);
    editing_.reset();
    // An edit that does not add up with the sheet's text: the whole text.
    if (!edited) fieldEdited(remarks);
}

namespace {

std::string replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, from.size()) == from) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool crBeforeLf(std::u16string_view text, std::size_t i) {
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

} // namespace

std::string withCrLf(std::string_view sheetText) {
    return replaced(sheetText, "\n", "\r\n");
}

std::string withoutCrLf(std::string_view controlText) {
    return replaced(controlText, "\r\n", "\n");
}

std::size_t sheetUnits(std::u16string_view controlText, std::size_t controlUnits) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < std::min(controlUnits, controlText.size()); ++i)
        if (!crBeforeLf(controlText, i)) ++units;
    return units;
}

std::size_t controlUnits(std::u16string_view controlText, std::size_t sheetUnits) {
    std::size_t i = 0;
    for (std::size_t counted = 0; i < controlText.size() && counted < sheetUnits; ++i)
        if (!crBeforeLf(controlText, i)) ++counted;
    return i;
}

} // namespace lanqi::ui
