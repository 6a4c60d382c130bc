#include "book/cell_value.h"

#include "biff/records.h"
#include "book/rk.h"

namespace lanqi::xls {
namespace {

std::string errorText(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#N/A";
    }
}

} // namespace

CellValue cellValue(const WorkbookStream& wb, const Cell& c) {
    ByteView d(c.data);
    switch (c.id) {
    case rec::kNumber:
        return CellValue::ofNumber(getF64(d, kCellValue));
    case rec::kRk:
        return CellValue::ofNumber(decodeRk(getU32(d, kCellValue)));
    case rec::kBoolErr:
        return d[kBoolErrIsError] != 0 ? CellValue::ofError(errorText(d[kCellValue]))
                                       : CellValue::ofBoolean(d[kCellValue] != 0);
    case rec::kLabelSst:
        return CellValue::ofText(wb.strings()[getU32(d, kCellValue)].text);
    case rec::kFormula:
        if (getU16(d, kFormulaResultMarker) != kFormulaNotNumber)
            return CellValue::ofNumber(getF64(d, kCellValue));
        if (d[kFormulaResultType] == kResultBoolean)
            return CellValue::ofBoolean(d[kFormulaResultValue] != 0);
        if (d[kFormulaResultType] == kResultError)
            return CellValue::ofError(errorText(d[kFormulaResultValue]));
        return CellValue::ofText(c.text); // from the STRING record, or empty
    case rec::kBlank:
        return CellValue::empty();
    default:
        return CellValue::ofText(c.text); // inline strings
    }
}

CellValue cellValue(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                    std::uint16_t col) {
    const Cell* c = findCell(sheet, row, col);
    return c ? cellValue(wb, *c) : CellValue::empty();
}

} // namespace lanqi::xls
