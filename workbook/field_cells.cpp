#include "workbook/field_cells.h"

#include "calc/numeric_text.h"

namespace lanqi {

using cellmap::Cell;
using cellmap::FieldRun;

void writeFields(const TallySheet& sheet, Worksheet& cells, std::span<const FieldRun> runs) {
    for (const FieldRun& run : runs)
        for (int i = run.first; i <= run.last; ++i) {
            Cell c = run.cellOf(i);
            cells.setCell(c.row, c.column, sheet.text(run.arr, i));
        }
}

void readFields(TallySheet& sheet, const Worksheet& cells, std::span<const FieldRun> runs) {
    for (const FieldRun& run : runs)
        for (int i = run.first; i <= run.last; ++i) {
            Cell c = run.cellOf(i);
            sheet.setText(run.arr, i, asciiNumberForms(cells.cell(c.row, c.column)));
        }
}

void editWorkbook(SpreadsheetApplication& app, const std::filesystem::path& workbook,
                  std::string_view sheetName, const std::function<void(Worksheet&)>& write,
                  OtherLock other, const std::function<void(const Worksheet&)>& saved) {
    requireNotOpenElsewhere(workbook, other);
    std::unique_ptr<Workbook> book = app.open(workbook);
    Worksheet& sheet = book->worksheet(sheetName);
    write(sheet);
    book->save();
    if (saved) saved(sheet);
}

} // namespace lanqi
