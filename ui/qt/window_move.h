#pragma once
// The borderless window is moved by the platform's own move loop and starts
// centred on its screen.
class QWidget;

namespace lanqi::ui {

// Starts an interactive move of the window that holds `widget`.
void startWindowMove(QWidget* widget);
void centreOnScreen(QWidget* window);

} // namespace lanqi::ui
