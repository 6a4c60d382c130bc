#pragma once
// The controls of the table by what they stand for: a row of kControls is a
// control's id; the sheet's fields, lists and written captions each have one.
// Also the window's tab order and the rule that Enter follows.
#include "program/controls_table.h"
#include "tally/sheet.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lanqi::ui {

// A control: its row in kControls.
using ControlId = std::size_t;

// "Text2(3)", "Combo4", "Text13": the name a control is known by.
std::string controlName(ControlId control);
std::optional<ControlId> controlNamed(std::string_view name);

std::optional<FieldId> fieldOf(ControlId control);
std::optional<Combo> comboOf(ControlId control);
// Label22 and Label23, whose captions the sheet holds.
std::optional<Label> captionOf(ControlId control);
ControlId controlOf(FieldId field);
ControlId controlOf(Combo combo);
ControlId controlOf(Label label);

// Every control that can hold the focus (all but labels and the frame), by
// tab position.
std::span<const ControlId> tabOrder();

// The next tab stop after `from` in tab order that is shown (a hidden list is
// skipped), wrapping from the last to the first. `from` need not be a tab
// stop itself.
ControlId nextTabStop(const TallySheet& sheet, ControlId from);
// The tab stop before `from`, as Shift+Tab goes.
ControlId previousTabStop(const TallySheet& sheet, ControlId from);
// The first tab stop: where the focus is when the window opens.
ControlId firstTabStop(const TallySheet& sheet);

// The controls inside the frame from the bottom of the stack to its top:
// where two overlap, the later one is drawn over the earlier one.
std::span<const ControlId> drawingOrder();

} // namespace lanqi::ui
