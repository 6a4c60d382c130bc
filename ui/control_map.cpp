#include "ui/control_map.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

namespace lanqi::ui {

namespace {

constexpr size_t kMaxElements = 21;

size_t slotOf(FieldId f) {
    return static_cast<size_t>(f.arr) * kMaxElements + static_cast<size_t>(f.index);
}

std::optional<Label> writtenCaption(std::string_view name) {
    for (Label l : {Label::Label22, Label::Label23})
        if (nameOf(l) == name) return l;
    return std::nullopt;
}

} // namespace

QString controlName(const Control& row) {
    QString name = QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size()));
    if (row.index != kNoIndex) name += QStringLiteral("(%1)").arg(row.index);
    return name;
}

void ControlMap::add(const Control& row, QWidget* widget) {
    const QString name = controlName(row);
    byName_.insert(name, widget);
    if (row.kind == Kind::TextBox || row.kind == Kind::Memo) {
        if (std::optional<FieldId> f = parseFieldName(name.toStdString())) {
            fieldWidgets_[slotOf(*f)] = widget;
            fieldOf_.insert(widget, *f);
            fields_.push_back(*f);
        }
    } else if (row.kind == Kind::Combo) {
        if (std::optional<Combo> c = parseComboName(row.name))
            combos_[static_cast<size_t>(*c)] = static_cast<QComboBox*>(widget);
    } else if (row.kind == Kind::Label) {
        if (std::optional<Label> l = writtenCaption(row.name))
            captions_[static_cast<size_t>(*l)] = static_cast<QLabel*>(widget);
    }
    if (row.kind != Kind::Label && row.kind != Kind::Frame)
        focusable_.push_back({row.tab, row.tabStop, widget});
}

QWidget* ControlMap::field(FieldId field) const {
    return exists(field) ? fieldWidgets_[slotOf(field)] : nullptr;
}

std::optional<FieldId> ControlMap::fieldOf(const QObject* widget) const {
    auto it = fieldOf_.constFind(widget);
    if (it == fieldOf_.constEnd()) return std::nullopt;
    return *it;
}

std::vector<QWidget*> ControlMap::tabOrder() const {
    std::vector<Focusable> sorted = focusable_;
    std::sort(sorted.begin(), sorted.end(),
              [](const Focusable& a, const Focusable& b) { return a.tab < b.tab; });
    std::vector<QWidget*> order;
    for (const Focusable& f : sorted) order.push_back(f.widget);
    return order;
}

QWidget* ControlMap::firstTabStop() const {
    const Focusable* first = nullptr;
    for (const Focusable& f : focusable_)
        if (f.stop && (!first || f.tab < first->tab)) first = &f;
    return first ? first->widget : nullptr;
}

} // namespace lanqi::ui
