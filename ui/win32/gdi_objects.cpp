#include "ui/win32/gdi_objects.h"

namespace lanqi::ui::win32 {

namespace {

// 宋体 for the fields and the frame's caption.
HFONT songFont(UINT dpi, Font font, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(tenthsOfPoint(font), static_cast<int>(dpi), 720);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcscpy_s(lf.lfFaceName, L"宋体");
    return CreateFontIndirectW(&lf);
}

LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return metrics.lfMessageFont;
}

// The desktop's message font at this DPI: what a window that sets no font
// looks like.
HFONT defaultFont(UINT dpi) {
    const LOGFONTW font = messageFont(dpi);
    return CreateFontIndirectW(&font);
}

struct SystemColour {
    Colour colour;
    int index;
};
constexpr SystemColour kSystemColours[] = {
    {Colour::WindowText, COLOR_WINDOWTEXT},       {Colour::WindowBackground, COLOR_WINDOW},
    {Colour::ActiveCaption, COLOR_ACTIVECAPTION}, {Colour::ActiveBorder, COLOR_ACTIVEBORDER},
    {Colour::ButtonShadow, COLOR_BTNSHADOW},      {Colour::GreyText, COLOR_GRAYTEXT},
    {Colour::HighlightText, COLOR_HIGHLIGHTTEXT},
};

constexpr COLORREF kRingColour = RGB(255, 176, 0);

} // namespace

GdiObjects::GdiObjects(UINT dpi)
    : dpi_(dpi), ringWidth_(MulDiv(2, static_cast<int>(dpi), 96)),
      ring_(CreatePen(PS_SOLID, ringWidth_, kRingColour)) {
    fonts_[static_cast<size_t>(Font::Default)] = GdiHandle<HFONT>(defaultFont(dpi));
    fonts_[static_cast<size_t>(Font::Song)] = GdiHandle<HFONT>(songFont(dpi, Font::Song, false));
    fonts_[static_cast<size_t>(Font::SongBold)] =
        GdiHandle<HFONT>(songFont(dpi, Font::SongBold, true));
    fonts_[static_cast<size_t>(Font::Song12)] =
        GdiHandle<HFONT>(songFont(dpi, Font::Song12, false));
    // The words on the faces: bold, three sevenths of the button's height.
    LOGFONTW face = messageFont(dpi);
    face.lfHeight = -MulDiv(14, static_cast<int>(dpi), 96);
    face.lfWeight = FW_BOLD;
    face_ = GdiHandle<HFONT>(CreateFontIndirectW(&face));
}

COLORREF GdiObjects::colour(Colour c) {
    if (c == Colour::Red) return RGB(255, 0, 0);
    if (c == Colour::Blue) return RGB(0, 0, 255);
    for (const SystemColour& s : kSystemColours)
        if (s.colour == c) return GetSysColor(s.index);
    return GetSysColor(COLOR_WINDOWTEXT);
}

HBRUSH GdiObjects::brush(Colour c) {
    for (const SystemColour& s : kSystemColours)
        if (s.colour == c) return GetSysColorBrush(s.index);
    return nullptr;
}

} // namespace lanqi::ui::win32
