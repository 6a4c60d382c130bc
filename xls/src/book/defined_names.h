#pragma once
// Defined names (the NAME records of the globals) and the EXTERNSHEET table
// through which their references, and those of formulas, name sheets.
#include "book/workbook_stream.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lanqi::xls {

// Which worksheet each EXTERNSHEET entry names: one sheet of this workbook
// that is a worksheet (counted among `worksheets`, the stream sheet of each
// worksheet), or nothing.
std::vector<std::optional<std::size_t>> externSheets(const WorkbookStream& wb,
                                                     const std::vector<std::size_t>& worksheets);

// The expression of each NAME record, in their order (ptgName counts them
// from 1); nothing for one that runs on into a CONTINUE record or is damaged.
std::vector<std::optional<Bytes>> nameExpressions(const WorkbookStream& wb);

// The one cell a user's defined name of that name refers to (compared as
// Excel does: ASCII letters in either case), when its expression is a single
// 3-D reference to one cell of a worksheet.
struct NamedPlace {
    std::size_t sheet; // counted among the worksheets
    std::uint32_t row;
    std::uint16_t col;
};
std::optional<NamedPlace> namedCell(const WorkbookStream& wb,
                                    const std::vector<std::size_t>& worksheets,
                                    std::string_view name);

} // namespace lanqi::xls
