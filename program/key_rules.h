#pragma once
// What the keys do on the window, the same in every window: Enter and Tab
// move on, Shift+Tab back, Up and Down move within a tally column, step
// through a list's entries and do nothing on a button or any other
// single-line field. A control entered by a key shows what is typed over.
#include "editing/navigation.h"
#include "program/controls.h"

namespace lanqi::ui {

// What entering a control by a key leaves selected in it.
enum class Entry {
    WholeText,  // a field or list: the next key typed replaces its text
    CaretAtEnd, // the remarks: what is typed is added, a long remark is never
                // wiped by one stray key
    Nothing,    // a button
};
Entry entryByKey(ControlId control);

// What a key does where the focus is.
struct KeyEffect {
    enum class Act {
        ToControl, // the control handles the key as usual
        Swallow,   // the key does nothing
        Focus,     // the focus moves to `target`, entered by a key
        StepList,  // the list picks the entry `step` away from its selected one
    };
    Act act = Act::ToControl;
    ControlId target = 0;
    int step = 0;
};
KeyEffect keyEffect(const TallySheet& sheet, ControlId focused, Key key);

// The entry `step` away from a list's selected one, within its entries; a
// list with nothing selected starts before its first entry. Nothing when
// the step leads off the list.
std::optional<int> steppedEntry(const ComboState& list, int step);

} // namespace lanqi::ui
