#pragma once
// The sheet and the window's controls, mirrored both ways, by the same rules
// in every window:
// - a control that already shows the sheet's text is not written, so the
//   caret of the field being typed in stays where it is;
// - when the program rewrites the text of the control that has the focus
//   (full-width digits made ASCII, a list stepped), the caret and selection
//   stay at their places, cut to the new text's length; a list written while
//   it has no focus shows the start of its text;
// - a list's entries are rewritten only where they differ, and its selected
//   entry is set only when the sheet's selection changes: typing into a list
//   picks nothing, whatever the toolkit's list makes of the typed text;
// - the remarks' edits go in as edits, counted in the sheet's own units (a
//   line break is one character, as in the bill's cell);
// - the mirror's own writes raise no calls back into the program.
// A window keeps only the toolkit calls, in MirrorControls.
#include "program/controls.h"
#include "program/program.h"
#include "tally/subscription.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ui {

// A selection in a control's text, in UTF-16 units of the text as the sheet
// holds it; start == end is a caret.
struct TextSelection {
    std::size_t start = 0, end = 0;
};

// What a window's controls do for the mirror, in the toolkit's own calls.
// Texts are UTF-8 with "\n" between lines, whatever the control keeps.
class MirrorControls {
  public:
    virtual ~MirrorControls() = default;
    // A field's or list's text.
    virtual std::string text(ControlId control) const = 0;
    virtual void setText(ControlId control, std::string_view text) = 0;
    virtual bool hasFocus(ControlId control) const = 0;
    virtual TextSelection selection(ControlId control) const = 0;
    virtual void select(ControlId control, TextSelection selection) = 0;
    // A list's entries: entry k's text replaced; entries appended at the end;
    // the entries from `first` on removed.
    virtual void setEntry(ControlId list, int k, std::string_view text) = 0;
    virtual void addEntries(ControlId list, const std::vector<std::string>& entries) = 0;
    virtual void removeEntries(ControlId list, int first) = 0;
    // The entry shown as selected; -1 for none.
    virtual void selectEntry(ControlId list, int k) = 0;
    virtual void setShown(ControlId control, bool shown) = 0;
    virtual void setCaption(ControlId label, std::string_view caption) = 0;
};

class SheetMirror {
  public:
    SheetMirror(Program& program, MirrorControls& controls);
    SheetMirror(const SheetMirror&) = delete;
    SheetMirror& operator=(const SheetMirror&) = delete;

    // Shows everything the sheet holds now.
    void showAll();
    // True while the mirror writes a control: the toolkit's notices of that
    // write are not the user's.
    bool writing() const { return writing_; }

    // The user's side, after the change.
    void fieldEdited(ControlId control);
    void listPicked(ControlId list, int entry);
    void listTextEdited(ControlId list);
    // `removed` units of the remarks at `position` replaced by `inserted`.
    void remarksEdited(ControlId remarks, std::size_t position, std::size_t removed,
                       std::string_view inserted);

  private:
    void showField(FieldId field);
    void showList(Combo combo);
    void showCaption(Label label);
    // Writes `text` into the control, keeping its caret or showing its start.
    void write(ControlId control, std::string_view text, bool startWhenUnfocused);

    Program& program_;
    const TallySheet& sheet_;
    MirrorControls& controls_;
    // What each list shows, so that a change rewrites only what differs.
    struct ShownList {
        std::vector<std::string> entries;
        int selected = -1;
        bool shown = true;
        bool known = false;
    };
    std::array<ShownList, kComboCount> lists_;
    bool writing_ = false;
    std::optional<ControlId> editing_; // the control whose edit goes into the sheet
    std::vector<Subscription> watches_;
};

// The remarks in a control that keeps its lines apart with CR LF (the Windows
// edit field): the text both ways, and a place in the control's UTF-16 units
// as a place in the sheet's, where a line break is one unit.
std::string withCrLf(std::string_view sheetText);
std::string withoutCrLf(std::string_view controlText);
std::size_t sheetUnits(std::u16string_view controlText, std::size_t controlUnits);
std::size_t controlUnits(std::u16string_view controlText, std::size_t sheetUnits);

} // namespace lanqi::ui
