#pragma once
// Frame1: the one container of the window, an etched border with its caption
// at the top left. A press on its bare area moves the window.
#include <QColor>
#include <QFont>
#include <QWidget>

namespace lanqi::ui {

class FrameBox : public QWidget {
    Q_OBJECT
  public:
    explicit FrameBox(QWidget* parent = nullptr);
    // The caption's font and colour are its own, not inherited by children.
    void setCaption(const QString& caption, const QFont& font, const QColor& colour);
    QString caption() const { return caption_; }

  signals:
    // A mouse button went down on the frame where no control lies.
    void barePressed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString caption_;
    QFont captionFont_;
    QColor captionColour_;
};

} // namespace lanqi::ui
