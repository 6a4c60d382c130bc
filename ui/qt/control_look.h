#pragma once
// Turns a control's look from the table into Qt colours, fonts and alignment.
#include "program/controls_table.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace lanqi::ui {

// The colour of a role; system roles come from the application palette.
QColor colourOf(Colour colour);
// The font as drawn at `dpi` dots per inch (kNormalDpi: as designed). The
// Song-style CJK font is asked for by name, with Debian fallbacks.
QFont fontOf(Font font, int dpi);
Qt::Alignment alignmentOf(Align align);

// Text colour, background, font (at `dpi`) and alignment of a field, list or
// label.
void applyLook(QWidget* widget, const Look& look, int dpi);

} // namespace lanqi::ui
