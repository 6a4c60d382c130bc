#pragma once
// The shared strings as they are written: only those some cell (or a
// LABELSST record kept as read) still refers to, in their order, each
// index renumbered to match. The workbook
// stream itself keeps its whole table.
#include "book/workbook_stream.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lanqi::xls {

struct StringRenumbering {
    std::vector<std::uint32_t> kept;     // indexes in the stream's table, in written order
    std::vector<std::uint32_t> newIndex; // by index in the stream's table
    std::uint32_t references = 0;        // LABELSST cells, the SST's total count

    std::uint32_t operator()(std::uint32_t isst) const { return newIndex[isst]; }
};

StringRenumbering renumberStrings(const WorkbookStream& wb);

// The shared string a LABELSST record kept as read refers to (one of a
// macro sheet or a chart), if it is one and the index is in the table.
std::optional<std::uint32_t> keptStringIndex(const RawRecord& r, std::size_t strings);

} // namespace lanqi::xls
