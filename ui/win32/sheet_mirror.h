#pragma once
// The controls show the tally sheet, and what the user changes goes to the
// program: every field, list and written caption both ways. A write of the
// mirror's own raises no call back into the program.
#include "program/program.h"
#include "tally/sheet.h"
#include "tally/subscription.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace lanqi::ui::win32 {

class Controls;

class SheetMirror {
  public:
    SheetMirror(Program& program, const Controls& controls);

    // Shows everything the sheet holds now.
    void showAll();

    // The user's side: a control's notice, after the change.
    void fieldEdited(ControlId id);
    void listPicked(ControlId id);
    void listTextEdited(ControlId id);

  private:
    void showField(FieldId field);
    void showList(Combo combo);
    void showCaption(Label label);

    Program& program_;
    const TallySheet& sheet_;
    const Controls& controls_;
    // The items each list shows, so that a change rewrites only what differs.
    std::array<std::vector<std::string>, kComboCount> shownItems_;
    bool writing_ = false;
    std::vector<Subscription> watches_;
};

// A control's text, and setting it, in UTF-8.
std::string windowText(HWND h);
void setWindowText(HWND h, std::string_view text);

// The remarks keep lines apart with "\n"; a multi-line edit field with "\r\n".
std::string fieldLines(std::string_view programText);
std::string programLines(std::string_view fieldText);

} // namespace lanqi::ui::win32
