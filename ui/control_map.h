#pragma once
// The built controls, found by control name, by tally-sheet field, by list
// and by written caption, and in tab order.
#include "tally/sheet.h"
#include "ui/controls_table.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QComboBox;
class QObject;
class QLabel;
class QWidget;

namespace lanqi::ui {

// "Text2(3)", "Combo4", "Text13": the name a control is known by.
QString controlName(const Control& row);

class ControlMap {
  public:
    void add(const Control& row, QWidget* widget);

    QWidget* byName(const QString& name) const { return byName_.value(name); }
    // The text box of a field (a QLineEdit, or the QPlainTextEdit of Text13).
    QWidget* field(FieldId field) const;
    std::optional<FieldId> fieldOf(const QObject* widget) const;
    QComboBox* combo(Combo combo) const { return combos_[static_cast<size_t>(combo)]; }
    QLabel* caption(Label label) const { return captions_[static_cast<size_t>(label)]; }
    const std::vector<FieldId>& fields() const { return fields_; }

    // Focusable controls by tab position.
    std::vector<QWidget*> tabOrder() const;
    // The first control in tab order that Tab stops at.
    QWidget* firstTabStop() const;

  private:
    struct Focusable {
        int tab;
        bool stop;
        QWidget* widget;
    };
    QHash<QString, QWidget*> byName_;
    QHash<const QObject*, FieldId> fieldOf_;
    std::vector<FieldId> fields_;
    std::array<QWidget*, kArrCount * 21> fieldWidgets_{};
    std::array<QComboBox*, kComboCount> combos_{};
    std::array<QLabel*, kLabelCount> captions_{};
    std::vector<Focusable> focusable_;
};

} // namespace lanqi::ui
