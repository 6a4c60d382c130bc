#pragma once
// What the cells hold, decoded from their records.
#include "book/workbook_stream.h"

#include <lanqi/xls/cell_value.h>

namespace lanqi::xls {

// The cell's value as stored; a formula as its cached result.
CellValue cellValue(const WorkbookStream& wb, const Cell& cell);
// The value of the cell (row, column counted from 0); empty if absent.
CellValue cellValue(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                    std::uint16_t col);

} // namespace lanqi::xls
