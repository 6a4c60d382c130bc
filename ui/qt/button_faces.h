#pragma once
// The picture buttons: white words on a blue gradient, drawn by the program,
// with a lighter second face shown while the button is held down.
#include <QAbstractButton>
#include <QPixmap>

namespace lanqi::ui {

QPixmap drawButtonFace(const QString& words, QSize size, bool pressed);

class FaceButton : public QAbstractButton {
    Q_OBJECT
  public:
    // An empty pressedWords means the button has no second face.
    FaceButton(const QString& words, const QString& pressedWords, QSize size,
               QWidget* parent = nullptr);

    QSize sizeHint() const override { return face_.deviceIndependentSize().toSize(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap face_;
    QPixmap pressedFace_;
};

} // namespace lanqi::ui
