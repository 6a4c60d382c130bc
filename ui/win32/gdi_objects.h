#pragma once
// The fonts and brushes the window draws with, made once for a DPI and freed
// with the window (or when the window moves to a screen of another DPI).
#include "program/controls_table.h"

#include <windows.h>

#include <array>
#include <utility>

namespace lanqi::ui::win32 {

// One GDI object, deleted with its holder.
template <class Handle> class GdiHandle {
  public:
    GdiHandle() = default;
    explicit GdiHandle(Handle h) : h_(h) {}
    GdiHandle(GdiHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiHandle& operator=(GdiHandle&& o) noexcept {
        std::swap(h_, o.h_);
        return *this;
    }
    ~GdiHandle() {
        if (h_) DeleteObject(h_);
    }
    Handle get() const { return h_; }

  private:
    Handle h_ = nullptr;
};

class GdiObjects {
  public:
    explicit GdiObjects(UINT dpi);

    UINT dpi() const { return dpi_; }
    HFONT font(Font f) const { return fonts_[static_cast<size_t>(f)].get(); }
    // The font of the words on the button faces.
    HFONT faceFont() const { return face_.get(); }
    // The amber ring around the button or list that has the focus.
    HPEN ringPen() const { return ring_.get(); }
    int ringWidth() const { return ringWidth_; }
    // A text colour; Inherit is the system window-text colour.
    static COLORREF colour(Colour c);
    // The brush that paints a background colour; Inherit gives none.
    static HBRUSH brush(Colour c);

  private:
    UINT dpi_;
    std::array<GdiHandle<HFONT>, 4> fonts_;
    GdiHandle<HFONT> face_;
    int ringWidth_;
    GdiHandle<HPEN> ring_;
};

} // namespace lanqi::ui::win32
