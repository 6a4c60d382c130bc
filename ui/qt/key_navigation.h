#pragma once
// The window's key preview: every key pressed on a control of the window
// goes to the program first; Tab and Shift+Tab too, so that the toolkit's own
// focus chain and its selection on entry play no part.
#include "program/program.h"
#include "ui/qt/control_map.h"

#include <QObject>

class QKeyEvent;

namespace lanqi::ui {

// The program's key for a key the toolkit reports; Other for the rest.
Key keyOf(const QKeyEvent* event);

class KeyNavigation : public QObject {
    Q_OBJECT
  public:
    // Watches every event of the application bound for `window`'s controls.
    KeyNavigation(QWidget* window, const ControlMap& controls, Program& program);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    const ControlMap& controls_;
    Program& program_;
};

} // namespace lanqi::ui
