#include "book/edit.h"

#include "biff/records.h"
#include "book/cell_format.h"
#include "book/formula_trailers.h"
#include "book/row_record.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

// The record of a new cell: NUMBER, LABELSST or BLANK.
Cell newCell(WorkbookStream& wb, std::uint32_t row, std::uint16_t col, std::uint16_t xf,
             const CellValue& value) {
    Cell cell;
    cell.col = col;
    putU16(cell.data, static_cast<std::uint16_t>(row));
    putU16(cell.data, col);
    putU16(cell.data, xf);
    switch (value.kind) {
    case CellValue::Kind::Number:
        cell.id = rec::kNumber;
        putF64(cell.data, value.number);
        break;
    case CellValue::Kind::Text:
        cell.id = rec::kLabelSst;
        putU32(cell.data, wb.internString(value.text));
        break;
    default:
        cell.id = rec::kBlank;
        break;
    }
    return cell;
}

} // namespace

void setCellValue(WorkbookStream& wb, Sheet& sheet, std::uint32_t row, std::uint16_t col,
                  const CellValue& value) {
    const bool empty = value.kind == CellValue::Kind::Empty;
    auto rowIt = sheet.rows.find(row);
    if (rowIt == sheet.rows.end()) {
        if (empty) return; // nothing there, nothing to keep
        rowIt = sheet.rows.emplace(row, Row{}).first;
    }
    Row& r = rowIt->second;
    auto& cells = r.cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), col,
                               [](const Cell& c, std::uint16_t k) { return c.col < k; });
    bool exists = it != cells.end() && it->col == col;
    if (!exists && empty) return;
    std::uint16_t xf = exists ? it->xf() : defaultXf(wb, sheet, r, col);
    if (exists && it->id == rec::kFormula) prepareFormulaOverwrite(sheet, row, col, *it);

    Cell cell = newCell(wb, row, col, xf, value);
    if (exists)
        *it = std::move(cell);
    else
        cells.insert(it, std::move(cell));

    if (!r.record) r.record = newRowRecord(row, sheet.defaultRowHeight);
    spanRowColumns(r);
    sheet.touched = true;
    wb.markChanged();
}

} // namespace lanqi::xls
