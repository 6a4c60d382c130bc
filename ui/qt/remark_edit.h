#pragma once
// The multi-line remarks field. What the user types, pastes or drops goes in
// as far as the program lets it: the remarks hold what one workbook cell can
// take.
#include "program/program.h"

#include <QPlainTextEdit>

namespace lanqi::ui {

class RemarkEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit RemarkEdit(Program& program, QWidget* parent = nullptr);

  protected:
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    // What of `offered` goes in place of the selection.
    QString fit(const QString& offered, Input how);

    Program& program_;
};

} // namespace lanqi::ui
