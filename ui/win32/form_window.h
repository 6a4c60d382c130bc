#pragma once
// Form1: the borderless window of the tally. It builds its controls from the
// controls table, draws them as the table says, at the screen's DPI, and
// turns what the user does into calls; it decides nothing itself.
#include "ui/win32/controls.h"
#include "ui/win32/frame_window.h"
#include "ui/win32/gdi_objects.h"

#include <windows.h>

#include <memory>

namespace lanqi::ui::win32 {

class FormWindow {
  public:
    explicit FormWindow(HINSTANCE instance);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow();

    HWND handle() const { return form_; }
    // Centres the window on its screen and shows it.
    void show(int showCommand);
    // The window's key preview, before a key reaches the control it is for.
    // True when the key was the window's.
    bool preview(const MSG& msg);

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND, UINT, WPARAM, LPARAM);

    BOOL onCreate(HWND, LPCREATESTRUCT);
    void onDestroy(HWND);
    void onCommand(HWND, int id, HWND control, UINT code);
    void onTimer(HWND, UINT id);
    HBRUSH onCtlColor(HWND, HDC dc, HWND control, int type);
    void onDrawItem(HWND, const DRAWITEMSTRUCT* item);
    void onButtonDown(HWND, BOOL doubleClick, int x, int y, UINT keys);
    void onDpiChanged(UINT dpi, const RECT& suggested);

    void applyDpi(UINT dpi);
    void clicked(size_t row);
    void ringFocus();

    HINSTANCE instance_;
    HWND form_ = nullptr;
    Controls controls_;
    std::unique_ptr<GdiObjects> gdi_;
    FrameLook frameLook_;
};

} // namespace lanqi::ui::win32
