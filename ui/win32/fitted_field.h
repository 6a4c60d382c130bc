#pragma once
// The single-line fields while they are not being edited: a figure wider
// than its field is drawn whole in a narrower, then smaller font, as the
// program's fitting rule says, and one that does not fit even so ends in "…"
// and shows whole as the field's tooltip. While a field has the focus it is
// a plain edit field.
#include "program/controls_table.h"
#include "ui/win32/gdi_objects.h"

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

namespace lanqi::ui::win32 {

// The narrowed and smaller forms of the fields' fonts, made once each, for
// the DPI of the window's fonts.
class FittedFonts {
  public:
    void use(const GdiObjects* gdi);
    // The field font `f` at `pixelSize` pixels and `stretch` percent of its width.
    HFONT font(Font f, int pixelSize, int stretch);
    // The pixel size of the field font itself.
    int pixelSize(Font f) const;

  private:
    const GdiObjects* gdi_ = nullptr;
    std::map<std::tuple<Font, int, int>, GdiHandle<HFONT>> made_;
};

// What a fitted field draws with.
struct FieldPainter {
    Font font = Font::Default;
    FittedFonts* fonts = nullptr;
    HWND tooltip = nullptr; // holds the field as a tool
    mutable std::string tip; // what the tooltip shows for the field
};

// Makes `field` draw as said above while it has not the focus.
void attachFittedField(HWND field, const FieldPainter* painter);

// The window's tooltip for the fields' whole texts.
HWND makeFieldTooltip(HWND form, HINSTANCE instance);

} // namespace lanqi::ui::win32
