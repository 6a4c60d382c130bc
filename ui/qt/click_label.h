#pragma once
// A label that takes its own mouse presses (so a press on it never moves the
// window) and reports a click on release over it.
#include <QLabel>

namespace lanqi::ui {

class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace lanqi::ui
