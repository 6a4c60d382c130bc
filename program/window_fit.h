#pragma once
// How large the window is drawn and where it goes on the screen.
//
// The window is laid out in twips, drawn at so many dots per inch: normally
// the screen's own, which makes it 631 × 768 pixels at 96 dpi and 947 × 1152
// at 144. Where that is taller or wider than the work area (the screen less
// its panels and task bar), the whole window (places, sizes and fonts) is
// drawn at just so many fewer dots per inch that it fits: never more than the
// screen's own, and never so few that the fields' figures would be drawn
// smaller than they are still read at a glance (fit_text.h). The window then
// lies wholly inside the work area, centred in it, or as near a wanted place
// as the work area lets it.
#include "program/controls_table.h"

#include <optional>

namespace lanqi::ui {

// A rectangle on the screen, in the screen's pixels.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(ScreenArea, ScreenArea) = default;
};

struct ScreenPoint {
    int x = 0, y = 0;
};

// The fewest dots per inch the window is drawn at: the fields' 10.5-point
// figures are then still kSmallestPixelSize pixels high.
int smallestWindowDpi();

struct WindowFit {
    int dpi = 0;      // the dots per inch the window is laid out at
    ScreenArea place; // the window on the screen
    friend bool operator==(WindowFit, WindowFit) = default;
};

// The window on a screen of `screenDpi` dots per inch whose work area is
// `work`: centred in it, or, given `wanted`, its top-left corner as near
// there as the work area allows. Where even the smallest window does not fit,
// its top-left corner is the work area's.
WindowFit fitWindow(int screenDpi, ScreenArea work, std::optional<ScreenPoint> wanted = {});

} // namespace lanqi::ui
