#include "book/cell_table.h"

#include "biff/record_stream.h"
#include "biff/records.h"

namespace lanqi::xls {
namespace {

void writeCell(Bytes& out, const Cell& c, const StringRenumbering& strings) {
    if (c.id != rec::kLabelSst) {
        putRecord(out, c.id, c.data);
        return;
    }
    std::size_t at = out.size() + rec::kHeaderSize + kCellValue;
    putRecord(out, c.id, c.data);
    setU32(out.data() + at, strings(getU32(c.data, kCellValue)));
}

// Cells of one row; runs of one former MULRK/MULBLANK are joined again.
void writeRowCells(Bytes& out, std::uint32_t rowIndex, const std::vector<Cell>& cells,
                   const StringRenumbering& strings) {
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i + 1;
        if (cells[i].group != 0)
            while (j < cells.size() && cells[j].group == cells[i].group &&
                   cells[j].col == cells[j - 1].col + 1)
                ++j;
        if (j - i >= 2) {
            bool rk = cells[i].id == rec::kRk;
            Bytes data;
            putU16(data, static_cast<std::uint16_t>(rowIndex));
            putU16(data, cells[i].col);
            for (std::size_t k = i; k < j; ++k)
                putBytes(data,
                         ByteView(cells[k].data).subspan(kCellXf, rk ? kMulRkItem : kMulBlankItem));
            putU16(data, cells[j - 1].col);
            putRecord(out, rk ? rec::kMulRk : rec::kMulBlank, data);
        } else {
            writeCell(out, cells[i], strings);
        }
        for (std::size_t k = i; k < j; ++k)
            for (const RawRecord& t : cells[k].trailers) putRecord(out, t.id, t.data);
        i = j;
    }
}

} // namespace

std::vector<std::uint32_t> writeCellTable(Bytes& out, const Sheet& sheet,
                                          const StringRenumbering& strings) {
    std::vector<std::uint32_t> dbCells;
    auto it = sheet.rows.begin();
    while (it != sheet.rows.end()) {
        std::uint32_t block = it->first / kRowsPerBlock;
        auto end = it;
        while (end != sheet.rows.end() && end->first / kRowsPerBlock == block) ++end;
        std::size_t firstRow = out.size();
        for (auto r = it; r != end; ++r) putRecord(out, rec::kRow, *r->second.record);
        std::vector<std::size_t> cellStarts;
        for (auto r = it; r != end; ++r) {
            cellStarts.push_back(out.size());
            writeRowCells(out, r->first, r->second.cells, strings);
        }
        it = end;
        if (!sheet.indexed) continue; // a table written without DBCELL records stays so
        // DBCELL: back to the first ROW record u32 | per row, from the end of
        // the first ROW record or the previous row's first cell to its first cell u16.
        std::size_t dbCell = out.size();
        Bytes data;
        putU32(data, static_cast<std::uint32_t>(dbCell - firstRow));
        std::size_t from = firstRow + rec::kHeaderSize + kRowSize;
        for (std::size_t start : cellStarts) {
            putU16(data, static_cast<std::uint16_t>(start - from));
            from = start;
        }
        putRecord(out, rec::kDbCell, data);
        dbCells.push_back(static_cast<std::uint32_t>(dbCell));
    }
    return dbCells;
}

} // namespace lanqi::xls
