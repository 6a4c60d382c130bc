#include "editing/navigation.h"

#include <algorithm>

namespace lanqi {

bool isNavigableColumn(Arr arr) {
    return std::find(std::begin(kNavigableColumns), std::end(kNavigableColumns), arr) !=
           std::end(kNavigableColumns);
}

std::optional<FieldId> columnWrapTarget(FieldId focused, Key key) {
    if (!isNavigableColumn(focused.arr)) return std::nullopt;
    int last = shapeOf(focused.arr).last;
    int i = focused.index;
    if (key == Key::Down) return FieldId{focused.arr, i == last ? 0 : i + 1};
    if (key == Key::Up) return FieldId{focused.arr, i == 0 ? last : i - 1};
    return std::nullopt;
}

} // namespace lanqi
