#pragma once
// The records that follow a FORMULA cell and belong to it: STRING (its
// string result, running on into CONTINUE records), SHRFMLA (the shared
// formula anchored at this cell), ARRAY and TABLE. They move with their
// cell and are written back right after it.
#include "book/sheet.h"

#include <string>
#include <vector>

namespace lanqi::xls {

bool isFormulaTrailer(std::uint16_t id);

// Formulas whose cached result is a string take it from their STRING
// record; other STRING records are kept as they are without being read.
void readFormulaStrings(Sheet& sheet);

// Writing over the first cell of a shared formula would take the formula
// from the cells that share it: the next of them takes it over, with the
// shared range starting there. `trailers` are those of the cell written over.
void handOverSharedFormula(Sheet& sheet, std::uint32_t row, std::uint16_t col,
                           std::vector<RawRecord>& trailers);

} // namespace lanqi::xls
