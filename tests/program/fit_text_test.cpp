// The rule for a figure too long for its field, with text measured as
// characters of pixelSize × stretch % pixels each.
#include "program/fit_text.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

int measure(std::string_view text, TextForm form) {
    int characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters * form.pixelSize * form.stretch / 100;
}

TEST(FitText, NarrowsThenShrinksThenCuts) {
    struct Case {
        const char* text;
        int width, pixelSize;
        TextForm form;
        const char* shown;
    } cases[] = {
        {"1234", 100, 12, {12, 100}, "1234"},                       // fits as it is
        {"12345678", 80, 12, {12, 84}, "12345678"},                 // narrowed
        {"1234567890", 60, 12, {10, 60}, "1234567890"},             // smaller
        {"123456789012", 60, 12, {10, 50}, "123456789012"},         // narrowest
        {"12345678901234567890", 60, 12, {10, 50}, "12345678901…"}, // cut
        {"木材木材木材木材木材木材木材",
         40,
         8,
         {8, 50},
         "木材木材木材木材木…"}, // a small base font
        {"", 0, 12, {12, 100}, ""},
    };
    for (const Case& c : cases) {
        const FittedText fitted = fitText(c.text, c.width, c.pixelSize, measure);
        EXPECT_EQ(fitted.form, c.form) << c.text;
        EXPECT_EQ(fitted.shown, c.shown) << c.text;
        EXPECT_EQ(fitted.cut, fitted.shown != c.text) << c.text;
        EXPECT_LE(measure(fitted.shown, fitted.form), c.width) << c.text;
    }
}

} // namespace
} // namespace lanqi
