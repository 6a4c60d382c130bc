#include "ui/qt/remark_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace lanqi::ui {

RemarkEdit::RemarkEdit(Program& program, QWidget* parent)
    : QPlainTextEdit(parent), program_(program) {}

QString RemarkEdit::fit(const QString& offered, Input how) {
    const QTextCursor cursor = textCursor();
    const auto selected = static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
    return QString::fromStdString(program_.fitIntoRemarks(offered.toStdString(), selected, how));
}

void RemarkEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return QPlainTextEdit::insertFromMimeData(source);
    const QString kept = fit(source->text(), Input::Pasted);
    if (kept.size() == source->text().size()) return QPlainTextEdit::insertFromMimeData(source);
    QMimeData cut;
    cut.setText(kept);
    QPlainTextEdit::insertFromMimeData(&cut);
}

// A typed character that does not fit is refused.
void RemarkEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && text[0].isPrint();
    if (inserts && !event->matches(QKeySequence::Paste) &&
        fit(text, Input::Typed).size() < text.size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RemarkEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    if (committed.isEmpty()) return QPlainTextEdit::inputMethodEvent(event);
    const QString kept = fit(committed, Input::Typed);
    if (kept.size() == committed.size()) return QPlainTextEdit::inputMethodEvent(event);
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
}

} // namespace lanqi::ui
