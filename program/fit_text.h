#pragma once
// How a figure too long for its field is shown while the field is not being
// edited: narrowed first, then made smaller and narrowed further, and only
// when even that does not fit, cut with "…" (the window then shows the whole
// text as the field's tooltip). No field ever shows part of a number as if
// it were the whole.
#include <functional>
#include <string>
#include <string_view>

namespace lanqi {

// The narrowest and smallest a figure is drawn and still read at a glance.
inline constexpr int kNarrowestStretch = 50; // percent of the normal width
inline constexpr int kSmallestPixelSize = 10;
// Narrowing alone goes this far before the font is made smaller.
inline constexpr int kNarrowedStretch = 60;

// A form of the field's font: its pixel size and its width in percent of
// the normal width (100: as designed).
struct TextForm {
    int pixelSize = 0;
    int stretch = 100;
    friend bool operator==(TextForm, TextForm) = default;
};

// The width in pixels of `text` drawn in the field's font in `form`.
using MeasureText = std::function<int(std::string_view text, TextForm form)>;

struct FittedText {
    TextForm form;
    std::string shown; // the text, or its start and "…" when it is cut
    bool cut = false;  // the text does not fit even in the smallest form
};

// How `text` is shown in `width` pixels by a font of `pixelSize` pixels.
FittedText fitText(std::string_view text, int width, int pixelSize, const MeasureText& measure);

} // namespace lanqi
