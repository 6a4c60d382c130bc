#include "program/window_fit.h"

#include "program/fit_text.h"

#include <algorithm>

namespace lanqi::ui {

namespace {

constexpr int kTenthsPerInch = 720; // 72 points an inch

bool fits(int dpi, ScreenArea work) {
    return toPixels(kWindowPlace.width, dpi) <= work.width &&
           toPixels(kWindowPlace.height, dpi) <= work.height;
}

// From `wanted` along one side: as near as the work area lets the window lie
// wholly inside it, else at the work area's start.
int inside(int wanted, int size, int workStart, int workSize) {
    return std::max(workStart, std::min(wanted, workStart + workSize - size));
}

} // namespace

int smallestWindowDpi() {
    const int tenths = tenthsOfPoint(Font::Song);
    return (kSmallestPixelSize * kTenthsPerInch + tenths - 1) / tenths;
}

WindowFit fitWindow(int screenDpi, ScreenArea work, std::optional<ScreenPoint> wanted) {
    int dpi = screenDpi;
    while (dpi > smallestWindowDpi() && !fits(dpi, work)) --dpi;
    const int width = toPixels(kWindowPlace.width, dpi);
    const int height = toPixels(kWindowPlace.height, dpi);
    const ScreenPoint at = wanted.value_or(
        ScreenPoint{work.left + (work.width - width) / 2, work.top + (work.height - height) / 2});
    return {dpi,
            {inside(at.x, width, work.left, work.width),
             inside(at.y, height, work.top, work.height), width, height}};
}

} // namespace lanqi::ui
