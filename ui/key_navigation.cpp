#include "ui/key_navigation.h"

#include "editing/navigation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace lanqi::ui {

namespace {

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// The key code of the arrows the column rule knows; 0 for any other key.
int keyCodeOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Down:
        return kKeyDown;
    default:
        return 0;
    }
}

} // namespace

KeyNavigation::KeyNavigation(QWidget* window, const ControlMap& controls)
    : QObject(window), window_(window), controls_(controls) {
    qApp->installEventFilter(this);
}

bool KeyNavigation::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_) return false;

    if (type == QEvent::FocusIn) {
        // Coming back to the window or from a drop-down is not entering a
        // field: the scaler's half-typed number stays as it is.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            focusIn(widget);
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) return isEnter(key);
    return keyPress(widget, key);
}

bool KeyNavigation::keyPress(QWidget* widget, QKeyEvent* event) {
    if (isEnter(event)) {
        // One Tab keystroke in its place, handled by the window's own focus
        // chain; the Enter itself reaches no control.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &tab);
        return true;
    }
    if (std::optional<FieldId> field = controls_.fieldOf(widget))
        if (std::optional<FieldId> target = columnWrapTarget(*field, keyCodeOf(event)))
            if (QWidget* next = controls_.field(*target)) next->setFocus(Qt::OtherFocusReason);
    return false;
}

void KeyNavigation::focusIn(QWidget* widget) {
    std::optional<FieldId> field = controls_.fieldOf(widget);
    if (!field || !isNavigableColumn(field->arr)) return;
    if (auto* line = qobject_cast<QLineEdit*>(widget)) line->selectAll();
}

} // namespace lanqi::ui
