#include "ui/model_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalBlocker>

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

} // namespace

ModelBinding::ModelBinding(TallySheet& sheet, const ControlMap& controls, QObject* parent)
    : QObject(parent), sheet_(sheet), controls_(controls) {
    watchSheet();
    watchControls();
    showAll();
}

void ModelBinding::watchSheet() {
    // The sheet may outlive the window; its handlers then find no binding.
    QPointer<ModelBinding> self(this);
    for (int a = 0; a < kArrCount; ++a) {
        const Arr arr = static_cast<Arr>(a);
        sheet_.onChange(arr, [self, arr](int index) {
            if (self) self->showField({arr, index});
        });
    }
    sheet_.onComboChange([self](Combo c) {
        if (self) self->showCombo(c);
    });
    sheet_.onCaptionChange([self](Label l) {
        if (self) self->showCaption(l);
    });
}

void ModelBinding::watchControls() {
    for (FieldId f : controls_.fields()) {
        QWidget* w = controls_.field(f);
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            connect(line, &QLineEdit::textEdited, this,
                    [this, f](const QString& text) { sheet_.setText(f, text.toStdString()); });
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            connect(memo, &QPlainTextEdit::textChanged, this, [this, f, memo] {
                if (!showing_) sheet_.setText(f, memo->toPlainText().toStdString());
            });
        }
    }
    for (int c = 0; c < kComboCount; ++c) {
        const Combo combo = static_cast<Combo>(c);
        QComboBox* box = controls_.combo(combo);
        if (!box) continue;
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& text) {
            sheet_.setComboText(combo, text.toStdString());
        });
        connect(box, &QComboBox::activated, this, [this, combo](int k) {
            sheet_.selectComboEntry(combo, k);
            emit comboPicked(combo);
        });
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
        if (memo->toPlainText() == text) return;
        showing_ = true;
        memo->setPlainText(text);
        showing_ = false;
    }
}

void ModelBinding::showCombo(Combo combo) {
    QComboBox* box = controls_.combo(combo);
    if (!box) return;
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
    if (l && l->text() != text) l->setText(text);
}

} // namespace lanqi::ui
