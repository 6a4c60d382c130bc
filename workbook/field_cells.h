#pragma once
// Moving fields between the tally sheet and worksheet cells along the cell
// map, and the one way the program changes the workbook.
#include "workbook/busy_lock.h"
#include "workbook/cell_map.h"
#include "workbook/spreadsheet.h"

#include <functional>
#include <span>

namespace lanqi {

// Each field of the runs into its cell, as its text.
void writeFields(const TallySheet& sheet, Worksheet& cells,
                 std::span<const cellmap::FieldRun> runs);

// Each field of the runs from its cell's text, empty text included; the runs
// hold numbers, so full-width number forms come in as ASCII.
void readFields(TallySheet& sheet, const Worksheet& cells, std::span<const cellmap::FieldRun> runs);

// Opens the workbook, lets `write` fill the named sheet and saves it in
// place; then lets `saved` read the sheet as saved, its formulas' results
// computed. Refuses a workbook that another program has open (see
// requireNotOpenElsewhere). Throws WorkbookError; the file is then as it was.
void editWorkbook(SpreadsheetApplication& app, const std::filesystem::path& workbook,
                  std::string_view sheetName, const std::function<void(Worksheet&)>& write,
                  OtherLock other = OtherLock::Refuse,
                  const std::function<void(const Worksheet&)>& saved = {});

} // namespace lanqi
