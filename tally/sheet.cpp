#include "tally/sheet.h"

#include <stdexcept>

namespace lanqi {

namespace {

constexpr std::array<ArrayShape, kArrCount> kShapes{{
    {Arr::Text1, "Text1", 0, 19},        {Arr::Text2, "Text2", 0, 20},
    {Arr::Text3, "Text3", 0, 20},        {Arr::Text4, "Text4", 0, 19},
    {Arr::Text5, "Text5", 0, 20},        {Arr::Text6, "Text6", 0, 20},
    {Arr::Text7, "Text7", 0, 19},        {Arr::Text8, "Text8", 0, 20},
    {Arr::Text9, "Text9", 0, 20},        {Arr::Text10, "Text10", 0, 19},
    {Arr::Text11, "Text11", 0, 20},      {Arr::Text12, "Text12", 0, 20},
    {Arr::Text13, "Text13", 0, 0, true}, {Arr::Text25, "Text25", 0, 3},
    {Arr::Text26, "Text26", 0, 5},       {Arr::Text27, "Text27", 1, 4},
    {Arr::Text28, "Text28", 0, 6},       {Arr::Text29, "Text29", 0, 6},
    {Arr::Text30, "Text30", 0, 5},       {Arr::Text31, "Text31", 0, 6},
}};

constexpr std::array<std::string_view, kComboCount> kComboNames{
    "Combo1", "Combo2",  "Combo4",  "Combo5",  "Combo6",  "Combo7",  "Combo8",
    "Combo9", "Combo10", "Combo11", "Combo12", "Combo13", "Combo14",
};

constexpr std::array<std::string_view, kLabelCount> kLabelNames{"Label22", "Label23"};

// Initial texts of the window's fields that are not empty.
struct InitialText {
    FieldId field;
    std::string_view text;
};
constexpr InitialText kInitialTexts[] = {
    {{Arr::Text25, 1}, "3"},
    {{Arr::Text25, 2}, "3"},
    {{Arr::Text25, 3}, "3"},
};

// Initial lists: text, items and visibility of the lists that differ from an
// empty, visible list.
struct InitialCombo {
    Combo combo;
    std::string_view text;
    std::initializer_list<std::string_view> items;
    bool visible;
};
const InitialCombo kInitialCombos[] = {
    {Combo::Combo4, "购货商:", {"购货商:", "供货商:"}, true},
    {Combo::Combo2, "运输车号:", {"运输车号:", "联系人:", "联系电话:", "银行账号:"}, true},
    {Combo::Combo5, "", {}, false},
    {Combo::Combo1, "", {}, false},
    {Combo::Combo7, "", {}, false},
    {Combo::Combo8, "", {}, false},
    {Combo::Combo9, "", {}, false},
    {Combo::Combo10, "", {}, false},
    {Combo::Combo11, "", {}, false},
};

constexpr size_t at(Arr arr) {
    return static_cast<size_t>(arr);
}
constexpr size_t at(Combo combo) {
    return static_cast<size_t>(combo);
}
constexpr size_t at(Label label) {
    return static_cast<size_t>(label);
}

} // namespace

const ArrayShape& shapeOf(Arr arr) {
    return kShapes[at(arr)];
}
std::string_view nameOf(Combo combo) {
    return kComboNames[at(combo)];
}
std::string_view nameOf(Label label) {
    return kLabelNames[at(label)];
}

bool exists(FieldId field) {
    const ArrayShape& s = shapeOf(field.arr);
    return field.index >= s.first && field.index <= s.last;
}

const std::vector<FieldId>& allFields() {
    static const std::vector<FieldId> fields = [] {
        std::vector<FieldId> out;
        for (const ArrayShape& s : kShapes)
            for (int i = s.first; i <= s.last; ++i) out.push_back({s.arr, i});
        return out;
    }();
    return fields;
}

std::string fieldName(FieldId field) {
    const ArrayShape& s = shapeOf(field.arr);
    std::string name(s.name);
    if (!s.single) {
        name.push_back('(');
        name += std::to_string(field.index);
        name.push_back(')');
    }
    return name;
}

std::optional<FieldId> parseFieldName(std::string_view name) {
    for (const ArrayShape& s : kShapes) {
        if (name.substr(0, s.name.size()) != s.name) continue;
        std::string_view rest = name.substr(s.name.size());
        if (s.single && rest.empty()) return FieldId{s.arr, 0};
        if (rest.size() < 3 || rest.front() != '(' || rest.back() != ')') continue;
        std::string_view digits = rest.substr(1, rest.size() - 2);
        if (digits.empty() || digits.size() > 2) continue;
        int index = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            index = index * 10 + (c - '0');
        }
        FieldId f{s.arr, index};
        if (exists(f)) return f;
    }
    return std::nullopt;
}

std::optional<Combo> parseComboName(std::string_view name) {
    for (size_t i = 0; i < kComboNames.size(); ++i)
        if (kComboNames[i] == name) return static_cast<Combo>(i);
    return std::nullopt;
}

TallySheet::TallySheet() {
    for (const ArrayShape& s : kShapes) {
        ArrayFields& a = arrays_[at(s.arr)];
        a.first = s.first;
        a.last = s.last;
        a.texts.resize(s.last + 1);
    }
    for (const InitialText& t : kInitialTexts) slot(t.field) = t.text;
    for (const InitialCombo& c : kInitialCombos) {
        ComboState& state = combos_[at(c.combo)];
        state.text = c.text;
        state.items.assign(c.items.begin(), c.items.end());
        state.visible = c.visible;
    }
    captions_ = {"Label22", "Label23"};
}

void TallySheet::throwMissing(FieldId field) {
    throw std::logic_error("no such field: " + fieldName(field));
}

void TallySheet::setText(FieldId field, std::string_view value) {
    std::string& current = slot(field);
    if (current == value) return;
    current = value;
    fieldChanged(field);
}

void TallySheet::fieldChanged(FieldId field) {
    ArrayFields& a = arrays_[at(field.arr)];
    // Rules add no rules while they run, so index the list as it stands.
    for (size_t i = 0; i < a.rules.size(); ++i) a.rules[i](field.index);
    a.watchers(field.index);
}

void TallySheet::replaceText(FieldId field, size_t offset, size_t count, std::string_view with) {
    std::string& current = slot(field);
    if (offset > current.size() || count > current.size() - offset)
        throw std::logic_error(fieldName(field) + ": replaced range lies beyond the text");
    if (count == with.size() && current.compare(offset, count, with) == 0) return;
    current.replace(offset, count, with);
    fieldChanged(field);
}

void TallySheet::addRule(Arr arr, FieldHandler rule) {
    arrays_[at(arr)].rules.push_back(std::move(rule));
}

Subscription TallySheet::onChange(Arr arr, FieldHandler handler) {
    return arrays_[at(arr)].watchers.add(std::move(handler));
}

const ComboState& TallySheet::combo(Combo combo) const {
    return combos_[at(combo)];
}

void TallySheet::setComboText(Combo combo, std::string_view value) {
    ComboState& c = combos_[at(combo)];
    if (c.text == value) return;
    c.text = value;
    comboChanged(combo);
}

void TallySheet::setComboItem(Combo combo, int k, std::string_view value) {
    ComboState& c = combos_[at(combo)];
    if (k < 0 || k > static_cast<int>(c.items.size()))
        throw std::logic_error("no entry " + std::to_string(k) + " in " +
                               std::string(nameOf(combo)));
    if (k == static_cast<int>(c.items.size()))
        c.items.emplace_back(value);
    else
        c.items[k] = value;
    comboChanged(combo);
}

void TallySheet::selectComboEntry(Combo combo, int k) {
    ComboState& c = combos_[at(combo)];
    if (k < -1 || k >= static_cast<int>(c.items.size()))
        throw std::logic_error("no entry " + std::to_string(k) + " in " +
                               std::string(nameOf(combo)));
    c.selected = k;
    if (k >= 0) c.text = c.items[k];
    comboChanged(combo);
}

void TallySheet::setComboVisible(Combo combo, bool visible) {
    ComboState& c = combos_[at(combo)];
    if (c.visible == visible) return;
    c.visible = visible;
    comboChanged(combo);
}

Subscription TallySheet::onComboChange(ComboHandler handler) {
    return comboWatchers_.add(std::move(handler));
}

void TallySheet::comboChanged(Combo combo) {
    comboWatchers_(combo);
}

const std::string& TallySheet::caption(Label label) const {
    return captions_[at(label)];
}

void TallySheet::setCaption(Label label, std::string_view value) {
    std::string& c = captions_[at(label)];
    if (c == value) return;
    c = value;
    labelWatchers_(label);
}

Subscription TallySheet::onCaptionChange(LabelHandler handler) {
    return labelWatchers_.add(std::move(handler));
}

} // namespace lanqi
