#pragma once
// The borderless window is moved by the platform's own move loop and starts
// on its screen as window_fit.h says.
#include "program/window_fit.h"

class QWidget;

namespace lanqi::ui {

// Starts an interactive move of the window that holds `widget`.
void startWindowMove(QWidget* widget);
// The window's size and place on the screen it opens on, in Qt's
// device-independent pixels (96 to the inch at any scale).
WindowFit fitOnScreen(const QWidget* window);

} // namespace lanqi::ui
