#include "ui/qt/window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace lanqi::ui {

QImage drawLogEnd(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(0.5, 0.5, size - 1.0, size - 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(92, 56, 28)); // bark
    p.drawEllipse(whole);
    const qreal bark = size / 10.0;
    const QRectF wood = whole.adjusted(bark, bark, -bark, -bark);
    p.setBrush(QColor(232, 196, 140));
    p.drawEllipse(wood);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(176, 120, 64), qMax(1.0, size / 32.0)));
    const int rings = size >= 32 ? 3 : 2;
    for (int k = 1; k <= rings; ++k) {
        qreal inset = wood.width() * k / (2.0 * (rings + 1));
        p.drawEllipse(wood.adjusted(inset, inset, -inset, -inset));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 72, 32)); // pith
    const qreal pith = qMax(1.0, size / 12.0);
    p.drawEllipse(wood.center(), pith, pith);
    return image;
}

QIcon drawWindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(drawLogEnd(size)));
    return icon;
}

} // namespace lanqi::ui
