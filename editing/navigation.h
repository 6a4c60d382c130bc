#pragma once
// Up and Down within the eight tally input columns, wrapping at both ends.
#include "tally/sheet.h"

#include <optional>

namespace lanqi {

// The keys the program gives a meaning to; a window maps its own key codes
// onto these (Enter and the keypad's Enter both to Enter, Shift+Tab to
// BackTab; Tab with Ctrl or Alt is Other). F3 opens the records; Page Up,
// Page Down and Escape work in the records window.
enum class Key { Enter, Tab, BackTab, Up, Down, Left, Right, PageUp, PageDown, Escape, F3, Other };

// The eight columns with arrow navigation and select-on-focus.
inline constexpr Arr kNavigableColumns[] = {Arr::Text1, Arr::Text2, Arr::Text4,  Arr::Text5,
                                            Arr::Text7, Arr::Text8, Arr::Text10, Arr::Text11};

bool isNavigableColumn(Arr arr);

// Where Up or Down moves the focus from `focused`; nothing for other keys or
// fields. Shift, Ctrl and Alt play no part.
std::optional<FieldId> columnWrapTarget(FieldId focused, Key key);

} // namespace lanqi
