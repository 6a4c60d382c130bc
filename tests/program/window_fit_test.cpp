// The window's size and place on screens of every kind: where it fits at the
// screen's own dots per inch nothing changes; where it does not, it is drawn
// just small enough to lie wholly inside the work area.
#include "program/window_fit.h"

#include <gtest/gtest.h>

namespace lanqi::ui {
namespace {

TEST(WindowFit, DrawnAtTheScreensScaleOrJustSmallEnoughToFit) {
    struct Case {
        const char* screen;
        int dpi;
        ScreenArea work;
        std::optional<ScreenPoint> wanted;
        WindowFit fit;
    } cases[] = {
        {"1920 x 1080, task bar", 96, {0, 0, 1920, 1040}, {}, {96, {644, 136, 631, 768}}},
        {"1366 x 768, no panel", 96, {0, 0, 1366, 768}, {}, {96, {367, 0, 631, 768}}},
        {"1366 x 768, panel below", 96, {0, 0, 1366, 728}, {}, {91, {384, 0, 598, 728}}},
        {"1366 x 768, panel above", 96, {0, 40, 1366, 728}, {}, {91, {384, 40, 598, 728}}},
        {"second screen", 96, {1920, 0, 1366, 728}, {}, {91, {2304, 0, 598, 728}}},
        {"1920 x 1080 at 150 %", 144, {0, 0, 1920, 1080}, {}, {135, {516, 0, 887, 1080}}},
        {"1920 x 1080 at 150 %, as Qt sees it",
         96,
         {0, 0, 1280, 720},
         {},
         {90, {344, 0, 592, 720}}},
        {"2560 x 1440 at 150 %", 144, {0, 0, 2560, 1400}, {}, {144, {806, 124, 947, 1152}}},
        {"narrow", 96, {0, 0, 600, 1000}, {}, {91, {1, 136, 598, 728}}},
        {"too small even for the smallest", 96, {0, 0, 800, 400}, {}, {69, {173, 0, 454, 552}}},
        {"moved past the right and bottom",
         96,
         {0, 0, 1920, 1040},
         ScreenPoint{1500, 500},
         {96, {1289, 272, 631, 768}}},
        {"moved past the left",
         96,
         {0, 0, 1920, 1040},
         ScreenPoint{-50, 10},
         {96, {0, 10, 631, 768}}},
    };
    for (const Case& c : cases) {
        const WindowFit fit = fitWindow(c.dpi, c.work, c.wanted);
        EXPECT_EQ(fit, c.fit) << c.screen << ": " << fit.dpi << " dpi at " << fit.place.left << ","
                              << fit.place.top << " " << fit.place.width << " x "
                              << fit.place.height;
    }
}

} // namespace
} // namespace lanqi::ui
