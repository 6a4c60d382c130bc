#include "ui/qt/window_move.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace lanqi::ui {

void startWindowMove(QWidget* widget) {
    if (QWindow* handle = widget->window()->windowHandle()) handle->startSystemMove();
}

WindowFit fitOnScreen(const QWidget* window) {
    const QScreen* screen = window->screen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    if (work.isEmpty())
        return {kNormalDpi, {0, 0, toPixels(kWindowPlace.width), toPixels(kWindowPlace.height)}};
    return fitWindow(kNormalDpi, {work.x(), work.y(), work.width(), work.height()});
}

} // namespace lanqi::ui
