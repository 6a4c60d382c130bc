#include "program/key_rules.h"

namespace lanqi::ui {

namespace {

// Up and Down by the kind of control, away from the tally columns.
struct ArrowRule {
    Kind kind;
    KeyEffect::Act act;
};
constexpr ArrowRule kArrowRules[] = {
    {Kind::TextBox, KeyEffect::Act::Swallow},  // neither the caret nor the focus moves
    {Kind::Memo, KeyEffect::Act::ToControl},   // the caret goes up and down the lines
    {Kind::Combo, KeyEffect::Act::StepList},
    {Kind::Button, KeyEffect::Act::Swallow},
};

KeyEffect focusOn(ControlId target) {
    return {KeyEffect::Act::Focus, target, 0};
}

KeyEffect upOrDown(ControlId focused, Key key) {
    if (const std::optional<FieldId> field = fieldOf(focused))
        if (const std::optional<FieldId> target = columnWrapTarget(*field, key))
            return focusOn(controlOf(*target));
    for (const ArrowRule& rule : kArrowRules)
        if (rule.kind == kControls[focused].kind)
            return {rule.act, focused, key == Key::Down ? 1 : -1};
    return {};
}

} // namespace

Entry entryByKey(ControlId control) {
    switch (kControls[control].kind) {
    case Kind::Memo:
        return Entry::CaretAtEnd;
    case Kind::TextBox:
    case Kind::Combo:
        return Entry::WholeText;
    default:
        return Entry::Nothing;
    }
}

KeyEffect keyEffect(const TallySheet& sheet, ControlId focused, Key key) {
    switch (key) {
    case Key::Enter:
    case Key::Tab:
        return focusOn(nextTabStop(sheet, focused));
    case Key::BackTab:
        return focusOn(previousTabStop(sheet, focused));
    case Key::Up:
    case Key::Down:
        return upOrDown(focused, key);
    case Key::Left:
    case Key::Right:
        // A button takes no arrow keys; in a field they move the caret.
        return {kControls[focused].kind == Kind::Button ? KeyEffect::Act::Swallow
                                                        : KeyEffect::Act::ToControl};
    case Key::PageUp:
    case Key::PageDown:
    case Key::Escape:
    case Key::F3:
    case Key::Other:
        break;
    }
    return {};
}

std::optional<int> steppedEntry(const ComboState& list, int step) {
    const int entry = list.selected + step;
    if (entry < 0 || entry >= static_cast<int>(list.items.size())) return std::nullopt;
    return entry;
}

} // namespace lanqi::ui
