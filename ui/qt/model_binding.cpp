#include "ui/qt/model_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace lanqi::ui {

namespace {

QString qt(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The document's text in [from, from + count) as toPlainText() gives it.
QString plainTextAt(QTextDocument* doc, int from, int count) {
    QTextCursor cursor(doc);
    cursor.setPosition(from);
    cursor.setPosition(from + count, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

// The line edit of a field or of a list's text part.
QLineEdit* lineOf(QWidget* w) {
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->lineEdit();
    return qobject_cast<QLineEdit*>(w);
}

} // namespace

ModelBinding::ModelBinding(Program& program, const ControlMap& controls, QObject* parent)
    : QObject(parent), controls_(controls), mirror_(program, *this) {
    watchControls();
    mirror_.showAll();
}

void ModelBinding::watchControls() {
    for (ControlId id = 0; id < kControls.size(); ++id) {
        QWidget* w = controls_.widget(id);
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            connect(box->lineEdit(), &QLineEdit::textEdited, this,
                    [this, id] { mirror_.listTextEdited(id); });
            connect(box, &QComboBox::activated, this,
                    [this, id](int k) { mirror_.listPicked(id, k); });
        } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
            connect(line, &QLineEdit::textEdited, this, [this, id] { mirror_.fieldEdited(id); });
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            connect(memo->document(), &QTextDocument::contentsChange, this,
                    [this, id](int position, int removed, int added) {
                        memoChanged(id, position, removed, added);
                    });
        }
    }
}

// One edit of the remarks goes to the mirror as that edit. Should the
// document report a change that does not add up with the text it had, the
// whole text goes instead.
void ModelBinding::memoChanged(ControlId id, int position, int removed, int added) {
    QTextDocument* doc = static_cast<QPlainTextEdit*>(controls_.widget(id))->document();
    const qsizetype length = doc->characterCount() - 1;
    const qsizetype before = std::exchange(memoUnits_, length);
    if (mirror_.writing()) return;
    // A change that reaches the document's end counts its final separator.
    if (length != before - removed + added || position + added > length) --removed, --added;
    if (removed < 0 || added < 0 || position + removed > before ||
        length != before - removed + added)
        return mirror_.fieldEdited(id);
    mirror_.remarksEdited(id, static_cast<std::size_t>(position), static_cast<std::size_t>(removed),
                          plainTextAt(doc, position, added).toStdString());
}

std::string ModelBinding::text(ControlId control) const {
    QWidget* w = controls_.widget(control);
    if (QLineEdit* line = lineOf(w)) return line->text().toStdString();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    return {};
}

void ModelBinding::setText(ControlId control, std::string_view text) {
    QWidget* w = controls_.widget(control);
    if (auto* box = qobject_cast<QComboBox*>(w))
        box->setEditText(qt(text));
    else if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(qt(text));
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        memo->setPlainText(qt(text));
}

bool ModelBinding::hasFocus(ControlId control) const {
    return controls_.widget(control)->hasFocus();
}

TextSelection ModelBinding::selection(ControlId control) const {
    QWidget* w = controls_.widget(control);
    if (QLineEdit* line = lineOf(w)) {
        if (!line->hasSelectedText()) {
            const auto caret = static_cast<std::size_t>(line->cursorPosition());
            return {caret, caret};
        }
        return {static_cast<std::size_t>(line->selectionStart()),
                static_cast<std::size_t>(line->selectionEnd())};
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        const QTextCursor cursor = memo->textCursor();
        return {static_cast<std::size_t>(cursor.anchor()),
                static_cast<std::size_t>(cursor.position())};
    }
    return {};
}

void ModelBinding::select(ControlId control, TextSelection s) {
    QWidget* w = controls_.widget(control);
    const int start = static_cast<int>(s.start), end = static_cast<int>(s.end);
    if (QLineEdit* line = lineOf(w)) {
        if (start == end)
            line->setCursorPosition(end);
        else
            line->setSelection(start, end - start);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
    }
}

void ModelBinding::setEntry(ControlId list, int k, std::string_view text) {
    static_cast<QComboBox*>(controls_.widget(list))->setItemText(k, qt(text));
}

void ModelBinding::addEntries(ControlId list, const std::vector<std::string>& entries) {
    QStringList added;
    for (const std::string& e : entries) added << qt(e);
    static_cast<QComboBox*>(controls_.widget(list))->addItems(added);
}

void ModelBinding::removeEntries(ControlId list, int first) {
    auto* box = static_cast<QComboBox*>(controls_.widget(list));
    while (box->count() > first) box->removeItem(box->count() - 1);
}

void ModelBinding::selectEntry(ControlId list, int k) {
    static_cast<QComboBox*>(controls_.widget(list))->setCurrentIndex(k);
}

void ModelBinding::setShown(ControlId control, bool shown) {
    controls_.widget(control)->setVisible(shown);
}

void ModelBinding::setCaption(ControlId label, std::string_view caption) {
    static_cast<QLabel*>(controls_.widget(label))->setText(qt(caption));
}

} // namespace lanqi::ui
