#include "ui/qt/control_map.h"

#include <QComboBox>
#include <QLabel>

namespace lanqi::ui {

void ControlMap::add(ControlId id, QWidget* widget) {
    widgets_.at(id) = widget;
    ids_.insert(widget, id);
    if (const std::optional<FieldId> f = fieldOf(id)) fields_.push_back(*f);
}

QWidget* ControlMap::byName(const QString& name) const {
    const std::optional<ControlId> id = controlNamed(name.toStdString());
    return id ? widget(*id) : nullptr;
}

std::optional<ControlId> ControlMap::idOf(const QObject* object) const {
    for (; object; object = object->parent()) {
        const auto it = ids_.constFind(object);
        if (it != ids_.constEnd()) return *it;
    }
    return std::nullopt;
}

QComboBox* ControlMap::combo(Combo combo) const {
    return static_cast<QComboBox*>(widget(controlOf(combo)));
}

QLabel* ControlMap::caption(Label label) const {
    return static_cast<QLabel*>(widget(controlOf(label)));
}

} // namespace lanqi::ui
