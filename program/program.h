#pragma once
// The running program, without a window toolkit: the tally sheet with its
// rules, the start-up load, the timers' work, every button's command, every
// list's rule, the key rules and the exit. A window builds its controls from
// kControls, mirrors the sheet both ways, turns the user's actions into the
// calls below and does what the program asks of it through its WindowPort.
// Failures are told in a message and never end the program or lose what is
// on the window.
#include "editing/navigation.h"
#include "program/controls.h"
#include "program/remarks.h"
#include "program/window_port.h"
#include "tally/sheet.h"
#include "workbook/spreadsheet.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace lanqi {

// How text came into the remarks.
enum class Input { Typed, Pasted };

class Program {
  public:
    // `instanceLock`: the lock file that one running copy holds;
    // `statementTemplate`: the shipped workbook that statements are made from.
    Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
            std::filesystem::path instanceLock, std::filesystem::path statementTemplate = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // What every field, list and written caption of the window shows.
    TallySheet& sheet();
    const TallySheet& sheet() const;

    // The window, once built from the table: the program asks it for its
    // dialogs and actions until the handle ends. Without a window the program
    // tells nothing and moves no focus.
    [[nodiscard]] Subscription attach(WindowPort& port);
    // Start-up, once the window is attached and mirrors the sheet, before it
    // is shown. Refuses a second running copy (told to the user; false: end at
    // once without showing the window), then loads the workbook (a failure is
    // told, and the window starts with empty lists).
    bool start();
    // Where the focus goes when the window is first shown.
    ui::ControlId firstFocus() const;
    // Gives the first focus as a key would enter it; the window calls this
    // once it is shown.
    void focusFirst();

    // The window's calls, on its thread, one at a time.

    // A timer of kTimers has fired.
    void timerFired(ui::Timer timer);
    // The user changed the text of a field (typed, deleted, pasted). The sheet
    // holds the new text afterwards; in a number field full-width digits,
    // point and sign become ASCII, one UTF-16 unit for one, so the caret can
    // stay where it was.
    void textTyped(FieldId field, std::string_view text);
    // An entry of a list was picked (by pointer or by the arrows in the list).
    void listPicked(Combo list, int entry);
    // The user typed into a list's text part; this picks nothing.
    void listTextTyped(Combo list, std::string_view text);
    // A button or a link label was clicked.
    void clicked(ui::ControlId control);
    // A press on the window's bare band or on Frame1's bare area.
    void barePressed();
    // A key pressed while `focused` has the focus; true when the key goes no
    // further (the program moved the focus, stepped a list or gives the key
    // no meaning), false when the control handles it as usual. A window
    // leaves none of these keys to its toolkit: a control entered by a key
    // gets what the program selects, whatever the toolkit would select.
    bool keyPressed(ui::ControlId focused, Key key);
    // The recorded bill of this serial was put back on the sheet: the next
    // bill exported is recorded as replacing it.
    void reopened(std::string serial);

    // What of `offered` goes into the remarks in place of a selection of
    // `selectedUnits` UTF-16 units: all of it when it fits, else its start,
    // never cut inside a character. A cut paste is told once the paste has
    // ended; cut typing beeps.
    std::string fitIntoRemarks(std::string_view offered, std::size_t selectedUnits, Input how);
    // An edit of the remarks in UTF-16 units of the text before it: `removed`
    // units at `position` replaced by `inserted`. False when the edit does not
    // fit the text the sheet holds; the window then gives the whole text with
    // textTyped().
    bool remarksEdited(std::size_t position, std::size_t removed, std::string_view inserted);

    // The program's state, known only to its own code.
    struct Running;

  private:
    std::shared_ptr<Running> running_;
};

} // namespace lanqi
