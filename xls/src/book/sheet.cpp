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

std::string cellName(std::uint32_t row, std::uint16_t col) {
    std::string letters;
    for (unsigned c = col + 1u; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

} // namespace lanqi::xls
