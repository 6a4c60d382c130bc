#pragma once
// ROW records the engine makes: for rows that had cells but no ROW record,
// and for rows that get their first cell.
#include "book/sheet.h"

namespace lanqi::xls {

// A ROW payload of the default height and format, no columns yet.
Bytes newRowRecord(std::uint32_t row, std::uint16_t height);
// Sets the row's column span from its cells; the row has a record and cells.
void spanRowColumns(Row& row);

} // namespace lanqi::xls
