#pragma once
// The window's key preview: Enter acts as Tab everywhere on the window and
// never reaches a control; Up and Down wrap within the eight tally input
// columns; entering one of those columns selects its whole text.
#include "ui/control_map.h"

#include <QObject>

class QKeyEvent;

namespace lanqi::ui {

class KeyNavigation : public QObject {
    Q_OBJECT
  public:
    // Watches every event of the application bound for `window`'s controls.
    KeyNavigation(QWidget* window, const ControlMap& controls);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool keyPress(QWidget* widget, QKeyEvent* event);
    void focusIn(QWidget* widget);

    QWidget* window_;
    const ControlMap& controls_;
};

} // namespace lanqi::ui
