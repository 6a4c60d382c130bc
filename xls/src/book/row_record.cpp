#include "book/row_record.h"

namespace lanqi::xls {

Bytes newRowRecord(std::uint32_t row, std::uint16_t height) {
    Bytes b;
    putU16(b, static_cast<std::uint16_t>(row));
    putU16(b, 0); // first column
    putU16(b, 0); // last column + 1
    putU16(b, height);
    putU16(b, 0);
    putU16(b, 0);
    putU32(b, kRowNewOptions);
    return b;
}

void spanRowColumns(Row& row) {
    std::uint8_t* r = row.record->data();
    setU16(r + kRowColFirst, row.cells.front().col);
    setU16(r + kRowColEnd, static_cast<std::uint16_t>(row.cells.back().col + 1));
}

} // namespace lanqi::xls
