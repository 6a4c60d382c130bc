#include "ui/qt/model_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

namespace lanqi::ui {

namespace {

QString qt(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Brings a list's items from what it shows to what the sheet holds, touching
// only the entries that differ.
void showItems(QComboBox* box, const std::vector<std::string>& shown,
               const std::vector<std::string>& items) {
    const int count = static_cast<int>(items.size());
    while (box->count() > count) box->removeItem(box->count() - 1);
    for (int k = 0; k < box->count(); ++k)
        if (shown[k] != items[k]) box->setItemText(k, qt(items[k]));
    QStringList added;
    for (int k = box->count(); k < count; ++k) added << qt(items[k]);
    if (!added.isEmpty()) box->addItems(added);
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

} // namespace

ModelBinding::ModelBinding(Program& program, const ControlMap& controls, QObject* parent)
    : QObject(parent), program_(program), sheet_(program.sheet()), controls_(controls) {
    watchSheet();
    watchControls();
    showAll();
}

// The watches end with the binding.
void ModelBinding::watchSheet() {
    for (int a = 0; a < kArrCount; ++a) {
        const Arr arr = static_cast<Arr>(a);
        watches_.push_back(sheet_.onChange(arr, [this, arr](int index) {
            showField({arr, index});
        }));
    }
    watches_.push_back(sheet_.onComboChange([this](Combo c) { showCombo(c); }));
    watches_.push_back(sheet_.onCaptionChange([this](Label l) { showCaption(l); }));
}

void ModelBinding::watchControls() {
    for (FieldId f : controls_.fields()) {
        QWidget* w = controls_.field(f);
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            // What the program makes of the text (full-width digits become
            // ASCII, unit for unit) comes back through the mirror; the caret
            // stays where the user left it.
            connect(line, &QLineEdit::textEdited, this, [this, f, line](const QString& text) {
                const int caret = line->cursorPosition();
                program_.textTyped(f, text.toStdString());
                if (line->cursorPosition() != caret) line->setCursorPosition(caret);
            });
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            connect(memo->document(), &QTextDocument::contentsChange, this,
                    [this, f](int position, int removed, int added) {
                        mirrorMemoChange(f, position, removed, added);
                    });
        }
    }
    for (int c = 0; c < kComboCount; ++c) {
        const Combo combo = static_cast<Combo>(c);
        QComboBox* box = controls_.combo(combo);
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& text) {
            program_.listTextTyped(combo, text.toStdString());
        });
        connect(box, &QComboBox::activated, this,
                [this, combo](int k) { program_.listPicked(combo, k); });
    }
}

void ModelBinding::showAll() {
    for (FieldId f : controls_.fields()) showField(f);
    for (int c = 0; c < kComboCount; ++c) showCombo(static_cast<Combo>(c));
    for (int l = 0; l < kLabelCount; ++l) showCaption(static_cast<Label>(l));
}

void ModelBinding::showField(FieldId field) {
    const QString text = qt(sheet_.text(field));
    QWidget* w = controls_.field(field);
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        if (line->text() != text) line->setText(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        if (mirroring_ || memo->toPlainText() == text) return;
        showing_ = true;
        memo->setPlainText(text);
        showing_ = false;
        memoUnits_ = text.size();
    }
}

// One edit of the remarks goes into the sheet as that edit. Should the
// document report a change that does not add up with the text it had, the
// whole text is taken instead.
void ModelBinding::mirrorMemoChange(FieldId field, int position, int removed, int added) {
    if (showing_) return;
    auto* memo = static_cast<QPlainTextEdit*>(controls_.field(field));
    QTextDocument* doc = memo->document();
    const qsizetype length = doc->characterCount() - 1;
    // A change that reaches the document's end counts its final separator.
    if (length != memoUnits_ - removed + added || position + added > length) {
        --removed, --added;
    }
    if (removed < 0 || added < 0 || position + removed > memoUnits_ ||
        length != memoUnits_ - removed + added) {
        mirrorWholeMemo(field);
        return;
    }
    const std::string inserted = plainTextAt(doc, position, added).toStdString();
    mirroring_ = true;
    const bool mirrored = program_.remarksEdited(static_cast<size_t>(position),
                                                 static_cast<size_t>(removed), inserted);
    mirroring_ = false;
    if (!mirrored) return mirrorWholeMemo(field);
    memoUnits_ = length;
}

void ModelBinding::mirrorWholeMemo(FieldId field) {
    auto* memo = static_cast<QPlainTextEdit*>(controls_.field(field));
    const QString text = memo->toPlainText();
    mirroring_ = true;
    program_.textTyped(field, text.toStdString());
    mirroring_ = false;
    memoUnits_ = text.size();
}

void ModelBinding::showCombo(Combo combo) {
    QComboBox* box = controls_.combo(combo);
    const ComboState& state = sheet_.combo(combo);
    const QSignalBlocker quiet(box);
    std::vector<std::string>& shown = shownItems_[static_cast<size_t>(combo)];
    if (shown != state.items) {
        showItems(box, shown, state.items);
        shown = state.items;
    }
    if (box->currentIndex() != state.selected) box->setCurrentIndex(state.selected);
    const QString text = qt(state.text);
    if (box->currentText() != text) {
        box->setEditText(text);
        // A narrow list shows the start of its text, not the end.
        if (!box->hasFocus()) box->lineEdit()->setCursorPosition(0);
    }
    if (box->isHidden() == state.visible) box->setVisible(state.visible);
}

void ModelBinding::showCaption(Label label) {
    QLabel* l = controls_.caption(label);
    const QString text = qt(sheet_.caption(label));
    if (l->text() != text) l->setText(text);
}

} // namespace lanqi::ui
