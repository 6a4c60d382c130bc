#include "book/string_renumbering.h"

#include "biff/records.h"

namespace lanqi::xls {

std::optional<std::uint32_t> keptStringIndex(const RawRecord& r, std::size_t strings) {
    if (r.id != rec::kLabelSst || r.data.size() < rec::fixedSize(rec::kLabelSst))
        return std::nullopt;
    std::uint32_t isst = getU32(r.data, kCellValue);
    return isst < strings ? std::optional<std::uint32_t>(isst) : std::nullopt;
}

StringRenumbering renumberStrings(const WorkbookStream& wb) {
    const std::size_t n = wb.strings().size();
    std::vector<std::uint32_t> uses(n, 0);
    StringRenumbering out;
    for (const Sheet& s : wb.sheets()) {
        for (const auto& [r, row] : s.rows)
            for (const Cell& c : row.cells)
                if (c.id == rec::kLabelSst) {
                    ++uses[getU32(c.data, kCellValue)];
                    ++out.references;
                }
        // Texts of sheets kept as records: macro sheets, embedded charts.
        for (const auto* kept : {&s.before, &s.after})
            for (const RawRecord& k : *kept)
                if (auto isst = keptStringIndex(k, n)) {
                    ++uses[*isst];
                    ++out.references;
                }
    }
    out.newIndex.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        out.newIndex[i] = static_cast<std::uint32_t>(out.kept.size());
        if (uses[i]) out.kept.push_back(i);
    }
    return out;
}

} // namespace lanqi::xls
