#pragma once
// Form1: the borderless window of the tally. It builds its controls from the
// controls table, draws them as the table says at the screen's DPI (or at
// fewer dots per inch where the window would not fit the screen), mirrors
// the tally sheet, turns what the user does into calls to the program and
// does what the program asks of it. It decides nothing itself.
#include "program/program.h"
#include "program/window_fit.h"
#include "program/window_port.h"
#include "ui/win32/controls.h"
#include "ui/win32/fitted_field.h"
#include "ui/win32/frame_window.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/records_window.h"
#include "ui/win32/sheet_mirror.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace lanqi::ui::win32 {

class FormWindow : public WindowPort {
  public:
    FormWindow(HINSTANCE instance, Program& program);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow() override;

    // Null when the window could not be made; then notMadeError() tells why.
    HWND handle() const { return form_; }
    unsigned long notMadeError() const { return notMadeError_; }
    // Shows the window centred on its screen, with the focus where the
    // program wants it, and starts the timers.
    void show(int showCommand);
    // The window's key preview, before a key reaches the control it is for.
    // True when the key was the window's.
    bool preview(const MSG& msg);

    // WindowPort.
    void inform(std::string_view message) override;
    Choice ask(std::string_view message, std::span<const Choice> choices) override;
    void endProgram() override;
    void later(std::function<void()> task) override;
    void focus(ControlId control) override;
    std::optional<ControlId> focusedControl() const override;
    void selectText(ControlId control, Entry entry) override;
    void beep() override;
    void minimise() override;
    void startWindowMove() override;
    void openLink(std::string_view address) override;
    void showRecords(RecordsList& records) override;

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND, UINT, WPARAM, LPARAM);

    BOOL onCreate(HWND, LPCREATESTRUCT);
    void onDestroy(HWND);
    void onActivate(HWND, UINT state, HWND other, BOOL minimized);
    void onCommand(HWND, int id, HWND control, UINT code);
    void onTimer(HWND, UINT id);
    HBRUSH onCtlColor(HWND, HDC dc, HWND control, int type);
    void onDrawItem(HWND, const DRAWITEMSTRUCT* item);
    void onButtonDown(HWND, BOOL doubleClick, int x, int y, UINT keys);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void runLater();

    // The fonts and brushes for `dpi`; the controls moved to their places
    // for it when they are not there yet.
    void applyDpi(UINT dpi, bool movePlaces);
    void ringFocus();

    HINSTANCE instance_;
    Program& program_;
    HWND form_ = nullptr;
    // The window's scale and place on its screen: drawn at fewer dots per
    // inch than the screen's where it would not fit the work area.
    WindowFit fit_;
    HWND tooltip_ = nullptr;
    Controls controls_;
    std::unique_ptr<GdiObjects> gdi_;
    FittedFonts fittedFonts_;
    std::vector<FieldPainter> painters_;
    FrameLook frameLook_;
    std::unique_ptr<WindowsControls> mirrorCalls_;
    std::unique_ptr<SheetMirror> mirror_;
    std::unique_ptr<RecordsWindow> records_;
    Subscription attached_; // the program's hold on this window as its port
    std::deque<std::function<void()>> later_;
    // The focus when the window was left, given back when it is active again.
    HWND lastFocus_ = nullptr;
    bool swallowEnterChar_ = false;
    bool exitAfterShow_ = false;
    unsigned long notMadeError_ = 0;
};

} // namespace lanqi::ui::win32
