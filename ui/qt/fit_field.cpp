#include "ui/qt/fit_field.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace lanqi::ui {

namespace {

QFont inForm(const QFont& base, TextForm form) {
    QFont font = base;
    font.setPixelSize(form.pixelSize);
    font.setStretch(form.stretch);
    return font;
}

} // namespace

FittedText fitText(const QFont& base, const QString& text, int width) {
    const int pixelSize = QFontInfo(base).pixelSize();
    const auto measure = [&base, pixelSize](std::string_view s, TextForm form) {
        const QFont font = form == TextForm{pixelSize, 100} ? base : inForm(base, form);
        return QFontMetrics(font).horizontalAdvance(
            QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
    };
    const lanqi::FittedText fitted = lanqi::fitText(text.toStdString(), width, pixelSize, measure);
    const QFont font = fitted.form == TextForm{pixelSize, 100} ? base : inForm(base, fitted.form);
    return {font, QString::fromStdString(fitted.shown), fitted.cut};
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
