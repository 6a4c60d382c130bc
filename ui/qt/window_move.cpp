#include "ui/qt/window_move.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace lanqi::ui {

void startWindowMove(QWidget* widget) {
    if (QWindow* handle = widget->window()->windowHandle()) handle->startSystemMove();
}

void centreOnScreen(QWidget* window) {
    if (QScreen* screen = window->screen())
        window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                                screen->availableGeometry()));
}

} // namespace lanqi::ui
