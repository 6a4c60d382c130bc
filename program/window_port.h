#pragma once
// What a window does for the program: the dialogs, and the few things only
// the window can do to itself. A window implements this and hands it to
// Program::start(); every call comes on the window's thread.
#include "program/controls.h"
#include "program/records.h"

#include <functional>
#include <span>
#include <string_view>

namespace lanqi {

// The answers the program's questions offer; each shows as its words.
enum class Choice { Continue, Retry, EndWithoutStoring, ExportFirst, OpenWithoutExport, Cancel };
// "继续", "重试", "不保存退出", "先导出", "不导出，打开", "取消".
std::string_view wordsOf(Choice choice);

class WindowPort {
  public:
    virtual ~WindowPort() = default;

    // A modal message with an OK button only, no icon, under the program's
    // title (kWindowTitle); returns when the user has closed it.
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

    // Gives `control` the keyboard focus, as the Tab key would. The window
    // then reports focusEntered() for it as for any other focus change.
    virtual void focus(ui::ControlId control) = 0;
    // Selects the whole text of a text field, caret at its end.
    virtual void selectWholeText(ui::ControlId control) = 0;
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
