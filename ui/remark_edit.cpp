#include "ui/remark_edit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace lanqi::ui {

RemarkEdit::RemarkEdit(QWidget* parent) : QPlainTextEdit(parent) {}

qsizetype RemarkEdit::room() const {
    const QTextCursor cursor = textCursor();
    const qsizetype length = document()->characterCount() - 1; // without the final separator
    return kLongestCellText - (length - (cursor.selectionEnd() - cursor.selectionStart()));
}

QString cutToRoom(const QString& text, qsizetype room) {
    if (text.size() <= room) return text;
    qsizetype n = std::max<qsizetype>(room, 0);
    if (n > 0 && text[n - 1].isHighSurrogate()) --n;
    return text.left(n);
}

void RemarkEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return QPlainTextEdit::insertFromMimeData(source);
    const QString offered = source->text();
    const QString kept = cutToRoom(offered, room());
    if (kept.size() == offered.size()) return QPlainTextEdit::insertFromMimeData(source);
    QMimeData cut;
    cut.setText(kept);
    QPlainTextEdit::insertFromMimeData(&cut);
    emit pasteCut(kept.size(), offered.size());
}

// A typed character that does not fit is refused with a beep.
void RemarkEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && text[0].isPrint();
    if (inserts && text.size() > room() && !event->matches(QKeySequence::Paste)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RemarkEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    if (committed.size() > room()) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(cutToRoom(committed, room()), event->replacementStart(),
                            event->replacementLength());
        QApplication::beep();
        return QPlainTextEdit::inputMethodEvent(&cut);
    }
    QPlainTextEdit::inputMethodEvent(event);
}

} // namespace lanqi::ui
