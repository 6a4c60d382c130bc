#include "ui/qt/button_faces.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QStylePainter>

namespace lanqi::ui {

namespace {

QFont faceFont(int pixelHeight) {
    QFont font;
    font.setFamilies({"Noto Sans CJK SC", "AR PL UMing CN", "宋体", "SimSun"});
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    return font;
}

} // namespace

QPixmap drawButtonFace(const QString& words, QSize size, bool pressed) {
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, pressed ? QColor(150, 196, 250) : QColor(92, 150, 230));
    fill.setColorAt(0.5, pressed ? QColor(84, 148, 232) : QColor(28, 92, 196));
    fill.setColorAt(1, pressed ? QColor(60, 120, 214) : QColor(12, 56, 140));
    p.fillRect(r, fill);

    // A bevel: light top-left edge, dark bottom-right edge.
    p.setPen(QColor(255, 255, 255, pressed ? 90 : 150));
    p.drawLine(r.topLeft() + QPointF(0.5, 0.5), r.topRight() + QPointF(-0.5, 0.5));
    p.drawLine(r.topLeft() + QPointF(0.5, 0.5), r.bottomLeft() + QPointF(0.5, -0.5));
    p.setPen(QColor(0, 20, 70, 180));
    p.drawLine(r.bottomLeft() + QPointF(0.5, -0.5), r.bottomRight() + QPointF(-0.5, -0.5));
    p.drawLine(r.topRight() + QPointF(-0.5, 0.5), r.bottomRight() + QPointF(-0.5, -0.5));

    p.setFont(faceFont(size.height() * 3 / 7));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, words);
    return pixmap;
}

FaceButton::FaceButton(const QString& words, const QString& pressedWords, QSize size,
                       QWidget* parent)
    : QAbstractButton(parent), face_(drawButtonFace(words, size, false)) {
    if (!pressedWords.isEmpty()) pressedFace_ = drawButtonFace(pressedWords, size, true);
    setAccessibleName(words);
}

void FaceButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    const bool showPressed = isDown() && !pressedFace_.isNull();
    p.drawPixmap(rect(), showPressed ? pressedFace_ : face_);
    // The focus is shown by the window's focus ring.
}

} // namespace lanqi::ui
