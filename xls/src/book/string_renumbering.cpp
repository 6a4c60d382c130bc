#include "book/string_renumbering.h"

#include "biff/records.h"

namespace lanqi::xls {

StringRenumbering renumberStrings(const WorkbookStream& wb) {
    const std::size_t n = wb.strings().size();
    std::vector<std::uint32_t> uses(n, 0);
    StringRenumbering out;
    for (const Sheet& s : wb.sheets())
        for (const auto& [r, row] : s.rows)
            for (const Cell& c : row.cells)
                if (c.id == rec::kLabelSst) {
                    ++uses[getU32(c.data, kCellValue)];
                    ++out.references;
                }
    out.newIndex.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        out.newIndex[i] = static_cast<std::uint32_t>(out.kept.size());
        if (uses[i]) out.kept.push_back(i);
    }
    return out;
}

} // namespace lanqi::xls
