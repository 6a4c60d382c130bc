#pragma once
// The multi-line remarks field. It holds at most what one workbook cell can
// take; a paste or drop that does not fit is cut to the room left and says so.
#include <QPlainTextEdit>

namespace lanqi::ui {

// Characters (UTF-16 units) one cell of the workbook holds.
inline constexpr int kLongestCellText = 32767;

class RemarkEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit RemarkEdit(QWidget* parent = nullptr);

    // Characters that can still be added in place of the selection.
    qsizetype room() const;

  signals:
    // A paste or drop was cut to fit; `kept` of `offered` characters went in.
    void pasteCut(qsizetype kept, qsizetype offered);

  protected:
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

// `text` cut to at most `room` UTF-16 units, never between the two halves of
// a surrogate pair.
QString cutToRoom(const QString& text, qsizetype room);

} // namespace lanqi::ui
