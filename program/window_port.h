#pragma once
// What a window does for the program: the dialogs, and the few things only
// the window can do to itself. A window implements this and hands it to
// Program::start(); every call comes on the window's thread.
#include "program/controls.h"
#include "program/key_rules.h"
#include "program/records.h"

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace lanqi {

// The answers the program's questions offer, and the one button of a
// message; each shows as its words.
enum class Choice { Continue, Retry, EndWithoutStoring, ExportFirst, OpenWithoutExport, Cancel, Ok };
// "继续", "重试", "不保存退出", "先导出", "不导出，打开", "取消", "确定".
std::string_view wordsOf(Choice choice);

class WindowPort {
  public:
    virtual ~WindowPort() = default;

    // A modal message with one button, Choice::Ok, no icon, under the
    // program's title (kWindowTitle); returns when the user has closed it.
    virtual void inform(std::string_view message) = 0;
    // A modal question with one button per choice, in the order given. The
    // first is the default button; the last is the answer when the user
    // presses Escape or closes the box.
    virtual Choice ask(std::string_view message, std::span<const Choice> choices) = 0;
    // Ends the event loop; the program ends once the call that asked returns.
    virtual void endProgram() = 0;
    // Runs `task` on the window's thread once the event being handled has
    // ended (a message about a paste, told after the paste).
    virtual void later(std::function<void()> task) = 0;

    // Gives `control` the keyboard focus and leaves its text, selection and
    // caret as they are: what a key's entry selects the program says with
    // selectText().
    virtual void focus(ui::ControlId control) = 0;
    // The control that has the keyboard focus; nothing when none of the
    // window's controls has it.
    virtual std::optional<ui::ControlId> focusedControl() const = 0;
    // In a field or list's text: selects it whole, or puts the caret at its
    // end with nothing selected (Entry::Nothing does nothing).
    virtual void selectText(ui::ControlId control, ui::Entry entry) = 0;
    // The system's short warning sound: typing that did not go in.
    virtual void beep() = 0;
    virtual void minimise() = 0;
    // The system's move of the window with the pointer, from the press that
    // has just happened until its button is released.
    virtual void startWindowMove() = 0;
    // Opens a web address in the desktop's browser; failures are not reported.
    virtual void openLink(std::string_view address) = 0;
    // Shows the records window over `records`, or brings it to the front with
    // the focus in its filter; it shows that list until the program ends.
    virtual void showRecords(RecordsList& records) = 0;
};

} // namespace lanqi
