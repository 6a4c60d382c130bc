#include "ui/qt/focus_ring.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPainter>

namespace lanqi::ui {

namespace {

constexpr int kRingWidth = 3;
const QColor kRingColour(255, 176, 0); // amber: stands out on the blue faces and white lists

// The button or list that `w` belongs to (a list's inner edit counts as the
// list), if it is one of `area`'s controls.
QWidget* ringable(QWidget* w, QWidget* area) {
    for (; w && w != area; w = w->parentWidget()) {
        if (w->parentWidget() != area) continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)) return w;
        return nullptr;
    }
    return nullptr;
}

} // namespace

FocusRing::FocusRing(QWidget* area) : QWidget(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused) {
    QWidget* area = parentWidget();
    QWidget* target = ringable(focused, area);
    if (target_ && target_ != target) target_->removeEventFilter(this);
    target_ = target;
    if (!target) {
        hide();
        return;
    }
    target->installEventFilter(this);
    setGeometry(target->geometry().adjusted(-1, -1, 1, 1));
    raise();
    show();
    update();
}

// The ring goes with its control when it is hidden or moved.
bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        const QEvent::Type t = event->type();
        if (t == QEvent::Hide) hide();
        if (t == QEvent::Move || t == QEvent::Resize || t == QEvent::Show) follow(target_);
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPen pen(kRingColour, kRingWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    const qreal inset = kRingWidth / 2.0;
    p.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

} // namespace lanqi::ui
