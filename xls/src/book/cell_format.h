#pragma once
// The cell format a cell has, or a new cell would take.
#include "book/workbook_stream.h"

namespace lanqi::xls {

// A new cell's format: its row's when the row has one, else its column's,
// else the default; one the workbook does not have falls back to the default.
std::uint16_t defaultXf(const WorkbookStream& wb, const Sheet& sheet, const Row& row,
                        std::uint16_t col);
// Whether the cell, or a new cell written there, has the Text (@) format.
bool isTextFormatted(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                     std::uint16_t col);

} // namespace lanqi::xls
