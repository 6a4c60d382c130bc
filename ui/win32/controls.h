#pragma once
// The window's controls, made from the controls table in one loop: a native
// control per row (EDIT, COMBOBOX, STATIC, owner-drawn BUTTON, and the frame
// that holds them all), each with the id of its row, stacked in tab order.
#include "program/controls_table.h"

#include <windows.h>

#include <array>
#include <optional>

namespace lanqi::ui::win32 {

class GdiObjects;

class Controls {
  public:
    // Makes every control at its place for `dpi`; the frame's children go
    // inside the frame.
    void create(HWND form, HINSTANCE instance, UINT dpi);
    // Places every control again and dresses it, for the DPI of `gdi`.
    void place(const GdiObjects& gdi) const;
    // Sets every control's font and the edges that follow it, for the DPI of `gdi`.
    void dress(const GdiObjects& gdi) const;

    HWND handle(size_t row) const { return handles_[row]; }
    HWND frame() const { return frame_; }
    // The row of a control, or of the list that a list's edit part belongs to.
    std::optional<size_t> rowOf(HWND h) const;

  private:
    std::array<HWND, kControls.size()> handles_{};
    HWND frame_ = nullptr;
};

// The frame's row of the table.
const Control& frameControl();

// Twips to pixels at `dpi`: 15 twips a pixel at 96 dpi.
int scaled(int twips, UINT dpi);

// A place in pixels.
struct Pixels {
    int left, top, width, height;
};
Pixels scaled(const Twips& place, UINT dpi);

} // namespace lanqi::ui::win32
