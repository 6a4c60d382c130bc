#pragma once
// How a text typed into a cell is stored, as a spreadsheet stores what a user
// types into a cell of general format: a plain decimal number becomes a
// number, unless storing it as one would change what the user sees (a
// leading zero, more than 15 significant digits) or the cell is formatted as
// Text; the empty text empties the cell; everything else stays text.
#include <lanqi/xls/cell_value.h>

#include <string_view>

namespace lanqi {

xls::CellValue typedValue(std::string_view text, bool cellIsTextFormat);

} // namespace lanqi
