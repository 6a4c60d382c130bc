#include "ui/qt/key_navigation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace lanqi::ui {

Key keyOf(const QKeyEvent* event) {
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Tab:
        return plain ? Key::Tab : Key::Other;
    case Qt::Key_Backtab:
        return plain ? Key::BackTab : Key::Other;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_Escape:
        return Key::Escape;
    case Qt::Key_F3:
        return Key::F3;
    default:
        return Key::Other;
    }
}

KeyNavigation::KeyNavigation(QWidget* window, const ControlMap& controls, Program& program)
    : QObject(window), window_(window), controls_(controls), program_(program) {
    qApp->installEventFilter(this);
}

// A key goes to the program once, as the focused control gets it; the parents
// a control passes an ignored key on to are not asked again.
bool KeyNavigation::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_ || widget != QApplication::focusWidget())
        return false;
    const std::optional<ControlId> id = controls_.idOf(widget);
    if (!id) return false;
    const Key key = keyOf(static_cast<QKeyEvent*>(event));
    // The release of a key that moved the focus reaches no control either.
    if (type == QEvent::KeyRelease)
        return key == Key::Enter || key == Key::Tab || key == Key::BackTab;
    return program_.keyPressed(*id, key);
}

} // namespace lanqi::ui
