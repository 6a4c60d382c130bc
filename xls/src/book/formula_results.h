#pragma once
// Formula results computed before a save: every formula that depends,
// directly or through other formulas, on a written cell is evaluated in
// dependency order and its result stored as the formula's cached value,
// so that programs that show the stored results without calculating show
// the right ones. A formula the engine cannot evaluate keeps its stored
// result; the sheets' recalculate-on-open mark has the spreadsheet program
// compute it.
#include "book/workbook_stream.h"

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace lanqi::xls {

// A written cell: worksheet (counted among the worksheets), row, column.
using CellPlace = std::tuple<std::size_t, std::uint32_t, std::uint16_t>;

struct FormulaResults {
    std::vector<CellPlace> computed;          // results computed and stored
    std::map<std::string, std::size_t> left;  // why the others over written cells were left
    std::size_t unknownDependencies = 0;      // formulas whose references the engine cannot tell
};

// `worksheets`: the stream sheet of each worksheet.
FormulaResults computeFormulaResults(WorkbookStream& wb, const std::vector<std::size_t>& worksheets,
                                     const std::vector<CellPlace>& written);

} // namespace lanqi::xls
