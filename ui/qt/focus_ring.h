#pragma once
// A bright ring drawn over the edge of the picture button or list that has
// the focus, so that the scaler sees at once where Enter has taken it.
#include <QPointer>
#include <QWidget>

namespace lanqi::ui {

class FocusRing : public QWidget {
    Q_OBJECT
  public:
    // Rings the buttons and lists among the children of `area`.
    explicit FocusRing(QWidget* area);

    // The control ringed now, if any.
    QWidget* ringed() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow(QWidget* focused);

    QPointer<QWidget> target_;
};

} // namespace lanqi::ui
