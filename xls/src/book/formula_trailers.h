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

// Readies the formula cell (row, col) to be written over, before anything
// changes. A cell of a data table, or of an array formula of more than one
// cell, is refused with an Error (WriteRefused) that names it, as a
// spreadsheet refuses to change part of an array. A single-cell array
// formula is simply replaced. The first cell of a shared formula holds the
// formula for all the cells that share it: they are covered anew by
// rectangles, each with its own copy of the shared formula at its first
// cell, so that every one of them keeps its formula.
void prepareFormulaOverwrite(Sheet& sheet, std::uint32_t row, std::uint16_t col, Cell& cell);

} // namespace lanqi::xls
