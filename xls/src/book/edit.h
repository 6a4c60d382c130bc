#pragma once
// Writing cells: a value replaces the cell's record, keeping its format.
#include "book/workbook_stream.h"

#include <lanqi/xls/cell_value.h>

namespace lanqi::xls {

// Stores an empty, number or text value in the cell (row, column counted
// from 0); a new cell takes its row's or column's format. An empty value
// where there is no cell writes nothing. A cell of a data table or of an
// array formula of several cells is refused (Error, WriteRefused) before
// anything changes.
void setCellValue(WorkbookStream& wb, Sheet& sheet, std::uint32_t row, std::uint16_t col,
                  const CellValue& value);

} // namespace lanqi::xls
