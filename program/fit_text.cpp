#include "program/fit_text.h"

#include <algorithm>
#include <vector>

namespace lanqi {

namespace {

constexpr std::string_view kEllipsis = "…";

// The widest stretch from `narrowest` to `widest` at which the text fits at
// `pixelSize`, or 0 when it fits at none.
int widestFittingStretch(std::string_view text, int width, int pixelSize, int narrowest, int widest,
                         const MeasureText& measure) {
    int low = narrowest, high = widest, found = 0;
    while (low <= high) {
        const int mid = (low + high) / 2;
        if (measure(text, {pixelSize, mid}) <= width) {
            found = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return found;
}

// Where each character of a UTF-8 text starts, and its end.
std::vector<size_t> characterStarts(std::string_view text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// The longest start of the text that fits in `width` with "…" after it.
std::string cutToFit(std::string_view text, int width, TextForm form, const MeasureText& measure) {
    const std::vector<size_t> starts = characterStarts(text);
    auto withEllipsis = [&](size_t characters) {
        return std::string(text.substr(0, starts[characters])) + std::string(kEllipsis);
    };
    size_t low = 0, high = starts.size() - 1;
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (measure(withEllipsis(mid), form) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return withEllipsis(low);
}

} // namespace

FittedText fitText(std::string_view text, int width, int pixelSize, const MeasureText& measure) {
    const TextForm normal{pixelSize, 100};
    if (measure(text, normal) <= width) return {normal, std::string(text), false};
    if (int s = widestFittingStretch(text, width, pixelSize, kNarrowedStretch, 99, measure))
        return {{pixelSize, s}, std::string(text), false};
    const int smallest = std::min(pixelSize, kSmallestPixelSize);
    for (int px = pixelSize - 1; px >= smallest; --px)
        if (measure(text, {px, kNarrowedStretch}) <= width)
            return {{px, kNarrowedStretch}, std::string(text), false};
    if (int s = widestFittingStretch(text, width, smallest, kNarrowestStretch, kNarrowedStretch - 1,
                                     measure))
        return {{smallest, s}, std::string(text), false};
    const TextForm tightest{smallest, kNarrowestStretch};
    return {tightest, cutToFit(text, width, tightest, measure), true};
}

} // namespace lanqi
