#include "ui/qt/key_navigation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace lanqi::ui {

namespace {

Key keyOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_F3:
        return Key::F3;
    default:
        return Key::Other;
    }
}

FocusCause causeOf(const QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
               ? FocusCause::Returned
               : FocusCause::Entered;
}

} // namespace

KeyNavigation::KeyNavigation(QWidget* window, const ControlMap& controls, Program& program)
    : QObject(window), window_(window), controls_(controls), program_(program) {
    qApp->installEventFilter(this);
}

bool KeyNavigation::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_) return false;
    const std::optional<ControlId> id = controls_.idOf(widget);
    if (!id) return false;

    if (type == QEvent::FocusIn) {
        program_.focusEntered(*id, causeOf(static_cast<QFocusEvent*>(event)));
        return false;
    }
    const Key key = keyOf(static_cast<QKeyEvent*>(event));
    // The release of a swallowed Enter reaches no control either.
    if (type == QEvent::KeyRelease) return key == Key::Enter;
    return program_.keyPressed(*id, key);
}

} // namespace lanqi::ui
