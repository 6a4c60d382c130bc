#include "ui/qt/frame_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace lanqi::ui {

namespace {
constexpr int kCaptionInset = 8; // pixels from the frame's left edge to its caption
}

FrameBox::FrameBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void FrameBox::setCaption(const QString& caption, const QFont& font, const QColor& colour) {
    caption_ = caption;
    captionFont_ = font;
    captionColour_ = colour;
    update();
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics metrics(captionFont_);
    const int lineY = metrics.height() / 2;
    const QRect border = rect().adjusted(0, lineY, -2, -2);
    // Etched edge: a dark line with a light one just inside it.
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(border);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(border.translated(1, 1));

    const QRect text(kCaptionInset, 0, metrics.horizontalAdvance(caption_) + 4, metrics.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setFont(captionFont_);
    p.setPen(captionColour_);
    p.drawText(text, Qt::AlignCenter, caption_);
}

void FrameBox::mousePressEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint())) return QWidget::mousePressEvent(event);
    event->accept();
    emit barePressed();
}

} // namespace lanqi::ui
