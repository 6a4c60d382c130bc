#pragma once
// The single-line fields. While a field is edited it is a plain edit field.
// Otherwise it shows its text from the start, and a text wider than the field
// in a narrower, then smaller font; a text that does not fit even at the
// smallest legible size ends in "…" and is shown whole in the tooltip. No
// field ever shows part of a number as if it were the whole.
#include <QFont>
#include <QLineEdit>
#include <QString>

namespace lanqi::ui {

// The narrowest and smallest a figure is drawn and still read at a glance.
inline constexpr int kNarrowestStretch = 50; // percent of the normal width
inline constexpr int kSmallestPixelSize = 10;

struct FittedText {
    QFont font;
    QString shown;    // the text, or its start and "…" when it is cut
    bool cut = false; // the text does not fit even at the smallest size
};

// How `text` is shown in `width` pixels: in `base` when it fits; otherwise
// narrowed first (down to 60 % of its width), then made smaller (down to the
// smallest size) and narrowed further (down to the narrowest), then cut.
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
