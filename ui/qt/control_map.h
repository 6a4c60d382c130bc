#pragma once
// The built controls, found by id, by name, by tally-sheet field, by list
// and by written caption.
#include "program/controls.h"
#include "tally/sheet.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class QComboBox;
class QObject;
class QLabel;
class QWidget;

namespace lanqi::ui {

class ControlMap {
  public:
    void add(ControlId id, QWidget* widget);

    QWidget* widget(ControlId id) const { return widgets_.at(id); }
    QWidget* byName(const QString& name) const;
    // The control `object` is, or is part of (the text part of a list).
    std::optional<ControlId> idOf(const QObject* object) const;
    // The text box of a field (a QLineEdit, or the QPlainTextEdit of Text13).
    QWidget* field(FieldId field) const { return widget(controlOf(field)); }
    QComboBox* combo(Combo combo) const;
    QLabel* caption(Label label) const;
    const std::vector<FieldId>& fields() const { return fields_; }

  private:
    std::vector<QWidget*> widgets_ = std::vector<QWidget*>(kControls.size());
    QHash<const QObject*, ControlId> ids_;
    std::vector<FieldId> fields_;
};

} // namespace lanqi::ui
