#include "book/cell_format.h"

namespace lanqi::xls {
namespace {

constexpr std::uint16_t kDefaultXf = 15;

} // namespace

std::uint16_t defaultXf(const WorkbookStream& wb, const Sheet& sheet, const Row& row,
                        std::uint16_t col) {
    std::uint16_t xf = kDefaultXf;
    bool found = false;
    if (row.record) {
        std::uint32_t options = getU32(*row.record, kRowOptions);
        if (options & kRowHasFormat) {
            xf = static_cast<std::uint16_t>((options >> kRowFormatShift) & kRowFormatMask);
            found = true;
        }
    }
    if (!found)
        for (const ColumnFormat& c : sheet.columns)
            if (col >= c.first && col <= c.last) {
                xf = c.xf;
                break;
            }
    return xf < wb.xfCount() ? xf : kDefaultXf;
}

bool isTextFormatted(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                     std::uint16_t col) {
    if (const Cell* c = findCell(sheet, row, col)) return wb.isTextFormat(c->xf());
    static const Row none;
    auto r = sheet.rows.find(row);
    return wb.isTextFormat(defaultXf(wb, sheet, r == sheet.rows.end() ? none : r->second, col));
}

} // namespace lanqi::xls
