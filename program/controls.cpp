#include "program/controls.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace lanqi::ui {

namespace {

// What each row of the table stands for in the sheet, found once.
struct Roles {
    std::vector<std::optional<FieldId>> field;
    std::vector<std::optional<Combo>> combo;
    std::vector<std::optional<Label>> caption;
    std::vector<ControlId> tabOrder;
    std::vector<ControlId> drawingOrder;
};

std::optional<Label> writtenCaption(std::string_view name) {
    for (Label l : {Label::Label22, Label::Label23})
        if (nameOf(l) == name) return l;
    return std::nullopt;
}

const Roles& roles() {
    static const Roles r = [] {
        Roles out;
        for (ControlId id = 0; id < kControls.size(); ++id) {
            const Control& row = kControls[id];
            out.field.push_back(row.kind == Kind::TextBox || row.kind == Kind::Memo
                                    ? parseFieldName(controlName(id))
                                    : std::nullopt);
            out.combo.push_back(row.kind == Kind::Combo ? parseComboName(row.name) : std::nullopt);
            out.caption.push_back(row.kind == Kind::Label ? writtenCaption(row.name)
                                                          : std::nullopt);
            if (row.kind != Kind::Label && row.kind != Kind::Frame) out.tabOrder.push_back(id);
        }
        std::sort(out.tabOrder.begin(), out.tabOrder.end(),
                  [](ControlId a, ControlId b) { return kControls[a].tab < kControls[b].tab; });
        for (ControlId id = 0; id < kControls.size(); ++id)
            if (kControls[id].kind == Kind::Label) out.drawingOrder.push_back(id);
        out.drawingOrder.insert(out.drawingOrder.end(), out.tabOrder.begin(), out.tabOrder.end());
        return out;
    }();
    return r;
}

template <typename T>
ControlId rowOf(const std::vector<std::optional<T>>& column, T value, std::string_view what) {
    for (ControlId id = 0; id < column.size(); ++id)
        if (column[id] == value) return id;
    throw std::logic_error("no control for " + std::string(what));
}

// Hidden lists are skipped; every other control is always shown.
bool shown(const TallySheet& sheet, ControlId id) {
    const std::optional<Combo> c = comboOf(id);
    return !c || sheet.combo(*c).visible;
}

bool takesTab(const TallySheet& sheet, ControlId id) {
    return kControls[id].tabStop && shown(sheet, id);
}

} // namespace

std::string controlName(ControlId control) {
    const Control& row = kControls.at(control);
    std::string name(row.name);
    if (row.index != kNoIndex) {
        name += '(';
        name += std::to_string(row.index);
        name += ')';
    }
    return name;
}

std::optional<ControlId> controlNamed(std::string_view name) {
    for (ControlId id = 0; id < kControls.size(); ++id)
        if (controlName(id) == name) return id;
    return std::nullopt;
}

std::optional<FieldId> fieldOf(ControlId control) {
    return roles().field.at(control);
}
std::optional<Combo> comboOf(ControlId control) {
    return roles().combo.at(control);
}
std::optional<Label> captionOf(ControlId control) {
    return roles().caption.at(control);
}

ControlId controlOf(FieldId field) {
    return rowOf(roles().field, field, fieldName(field));
}
ControlId controlOf(Combo combo) {
    return rowOf(roles().combo, combo, nameOf(combo));
}
ControlId controlOf(Label label) {
    return rowOf(roles().caption, label, nameOf(label));
}

std::span<const ControlId> tabOrder() {
    return roles().tabOrder;
}

namespace {

// The first shown tab stop after `from`, forwards or backwards in tab order,
// wrapping at either end.
ControlId tabStopFrom(const TallySheet& sheet, ControlId from, bool forwards) {
    const std::vector<ControlId>& order = roles().tabOrder;
    const size_t n = order.size();
    const auto at = std::find(order.begin(), order.end(), from);
    const size_t start = at == order.end() ? (forwards ? n - 1 : 0) : size_t(at - order.begin());
    for (size_t step = 1; step <= n; ++step) {
        const ControlId next = order[forwards ? (start + step) % n : (start + n - step) % n];
        if (takesTab(sheet, next)) return next;
    }
    return from;
}

} // namespace

ControlId nextTabStop(const TallySheet& sheet, ControlId from) {
    return tabStopFrom(sheet, from, true);
}

ControlId previousTabStop(const TallySheet& sheet, ControlId from) {
    return tabStopFrom(sheet, from, false);
}

ControlId firstTabStop(const TallySheet& sheet) {
    return nextTabStop(sheet, roles().tabOrder.back());
}

std::span<const ControlId> drawingOrder() {
    return roles().drawingOrder;
}

} // namespace lanqi::ui
