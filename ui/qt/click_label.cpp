#include "ui/qt/click_label.h"

#include <QMouseEvent>

namespace lanqi::ui {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (rect().contains(event->position().toPoint())) emit clicked();
}

} // namespace lanqi::ui
