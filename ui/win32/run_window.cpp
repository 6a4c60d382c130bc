#include "ui/win32/run_window.h"

#include "program/window_not_made.h"
#include "ui/win32/choice_dialog.h"
#include "ui/win32/form_window.h"

namespace lanqi::ui::win32 {

int runWindow(HINSTANCE instance, Program& program, int showCommand) {
    FormWindow form(instance, program);
    if (!form.handle()) {
        askChoice(nullptr, kWindowTitle, windowNotMadeMessage(form.notMadeError()), {});
        return 1;
    }
    if (!program.start()) return 0;
    form.show(showCommand);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form.preview(msg) || IsDialogMessageW(form.handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

} // namespace lanqi::ui::win32
