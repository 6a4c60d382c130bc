#include "ui/fit_field.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace lanqi::ui {

namespace {

// Narrowing alone goes this far before the font is made smaller.
constexpr int kNarrowedStretch = 60;

QFont withSize(const QFont& base, int pixelSize, int stretch) {
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setStretch(stretch);
    return font;
}

int advance(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

// The widest stretch between `narrowest` and `widest` at which the text fits,
// or 0 when it fits at none.
int widestFittingStretch(const QFont& base, int pixelSize, const QString& text, int width,
                         int narrowest, int widest) {
    int low = narrowest, high = widest, found = 0;
    while (low <= high) {
        const int mid = (low + high) / 2;
        if (advance(withSize(base, pixelSize, mid), text) <= width) {
            found = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return found;
}

} // namespace

FittedText fitText(const QFont& base, const QString& text, int width) {
    if (advance(base, text) <= width) return {base, text, false};
    const int size = QFontInfo(base).pixelSize();
    if (int s = widestFittingStretch(base, size, text, width, kNarrowedStretch, 99))
        return {withSize(base, size, s), text, false};
    const int smallest = std::min(size, kSmallestPixelSize);
    for (int px = size - 1; px >= smallest; --px)
        if (advance(withSize(base, px, kNarrowedStretch), text) <= width)
            return {withSize(base, px, kNarrowedStretch), text, false};
    if (int s = widestFittingStretch(base, smallest, text, width, kNarrowestStretch,
                                     kNarrowedStretch - 1))
        return {withSize(base, smallest, s), text, false};
    const QFont font = withSize(base, smallest, kNarrowestStretch);
    return {font, QFontMetrics(font).elidedText(text, Qt::ElideRight, width), true};
}

FitLineEdit::FitLineEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { refit(); });
}

QRect FitLineEdit::textRect() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    // One pixel clear of the frame on either side.
    return style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).adjusted(1, 0, -1, 0);
}

int FitLineEdit::textWidth() const {
    return textRect().width();
}

void FitLineEdit::refit() {
    fitted_ = fitText(font(), text(), textWidth());
    setToolTip(fitted_.cut ? text() : QString());
    if (hasFocus()) return;
    setCursorPosition(0); // so that a click into the field finds its start in view
    update();
}

void FitLineEdit::paintEvent(QPaintEvent* event) {
    if (hasFocus()) return QLineEdit::paintEvent(event);
    QPainter p(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
    p.setFont(fitted_.font);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    p.drawText(textRect(), static_cast<int>(horizontal | Qt::AlignVCenter), fitted_.shown);
}

void FitLineEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    refit();
}

void FitLineEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) refit();
}

// Leaving the field: the next edit starts with the text in view from its start.
void FitLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
    update();
}

} // namespace lanqi::ui
