#include "book/sheet.h"

#include <algorithm>

namespace lanqi::xls {

const Cell* findCell(const Sheet& sheet, std::uint32_t row, std::uint16_t col) {
    auto r = sheet.rows.find(row);
    if (r == sheet.rows.end()) return nullptr;
    const auto& cells = r->second.cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), col,
                               [](const Cell& c, std::uint16_t k) { return c.col < k; });
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

} // namespace lanqi::xls
