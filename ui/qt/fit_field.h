#pragma once
// The single-line fields. While a field is edited it is a plain edit field.
// Otherwise it shows its text from the start, fitted as the program's rule
// says; a text cut with "…" is shown whole in the tooltip.
#include "program/fit_text.h"

#include <QFont>
#include <QLineEdit>
#include <QString>

namespace lanqi::ui {

using lanqi::kNarrowestStretch;
using lanqi::kSmallestPixelSize;

struct FittedText {
    QFont font;
    QString shown;    // the text, or its start and "…" when it is cut
    bool cut = false; // the text does not fit even at the smallest size
};

// How `text` is shown in `width` pixels by `base` or a narrower or smaller
// form of it.
FittedText fitText(const QFont& base, const QString& text, int width);

class FitLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit FitLineEdit(QWidget* parent = nullptr);

    // The pixels the text is drawn in while the field is not edited.
    int textWidth() const;
    // How the text is shown while the field is not edited.
    const FittedText& fitted() const { return fitted_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void refit();
    QRect textRect() const;

    FittedText fitted_;
};

} // namespace lanqi::ui
