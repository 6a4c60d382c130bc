#include "book/sheet_writer.h"

#include "biff/record_stream.h"
#include "biff/records.h"
#include "book/cell_table.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

bool hasRecord(const std::vector<RawRecord>& records, std::uint16_t id) {
    return std::any_of(records.begin(), records.end(),
                       [id](const RawRecord& r) { return r.id == id; });
}

// The area of the cells, and of the area stored before; the stored record
// as it was while no cell was written.
void writeDimensions(Bytes& out, const Sheet& sheet, ByteView original) {
    if (!sheet.touched && original.size() >= kDimensionsSize) {
        putRecord(out, rec::kDimensions, original);
        return;
    }
    std::uint32_t rowFirst = UINT32_MAX, rowEnd = 0;
    std::uint16_t colFirst = UINT16_MAX, colEnd = 0;
    for (const auto& [r, row] : sheet.rows) {
        if (row.cells.empty()) continue;
        rowFirst = std::min(rowFirst, r);
        rowEnd = std::max(rowEnd, r + 1);
        colFirst = std::min(colFirst, row.cells.front().col);
        colEnd = std::max<std::uint16_t>(colEnd, row.cells.back().col + 1);
    }
    if (original.size() >= kDimensionsAreaSize) {
        std::uint32_t storedRowFirst = getU32(original, kDimensionsRowFirst);
        std::uint32_t storedRowEnd = getU32(original, kDimensionsRowEnd);
        std::uint16_t storedColFirst = getU16(original, kDimensionsColFirst);
        std::uint16_t storedColEnd = getU16(original, kDimensionsColEnd);
        if (storedRowEnd > storedRowFirst) {
            rowFirst = std::min(rowFirst, storedRowFirst);
            rowEnd = std::max(rowEnd, storedRowEnd);
        }
        if (storedColEnd > storedColFirst) {
            colFirst = std::min(colFirst, storedColFirst);
            colEnd = std::max(colEnd, storedColEnd);
        }
    }
    if (rowFirst == UINT32_MAX) rowFirst = rowEnd = 0;
    if (colFirst == UINT16_MAX) colFirst = colEnd = 0;
    Bytes data;
    putU32(data, rowFirst);
    putU32(data, rowEnd);
    putU16(data, colFirst);
    putU16(data, colEnd);
    putU16(data, 0);
    putRecord(out, rec::kDimensions, data);
}

std::size_t rowBlocks(const Sheet& sheet) {
    std::size_t blocks = 0;
    std::uint32_t lastBlock = UINT32_MAX;
    for (const auto& [r, row] : sheet.rows)
        if (r / kRowsPerBlock != lastBlock) ++blocks, lastBlock = r / kRowsPerBlock;
    return blocks;
}

// INDEX, written with room for its positions before the cell table and
// filled in after it.
void fillIndex(std::uint8_t* index, const Sheet& sheet, std::size_t defColWidthPos,
               const std::vector<std::uint32_t>& dbCells) {
    std::uint32_t first = sheet.rows.empty() ? 0 : sheet.rows.begin()->first;
    std::uint32_t end = sheet.rows.empty() ? 0 : sheet.rows.rbegin()->first + 1;
    setU32(index + kIndexReserved, 0);
    setU32(index + kIndexRowFirst, first);
    setU32(index + kIndexRowEnd, end);
    setU32(index + kIndexDefColWidth, static_cast<std::uint32_t>(defColWidthPos));
    for (std::size_t k = 0; k < dbCells.size(); ++k)
        setU32(index + kIndexDbCells + kIndexDbCellSize * k, dbCells[k]);
}

// A record kept as read; a LABELSST among them refers to the strings as
// renumbered.
void putKept(Bytes& out, const RawRecord& r, const StringRenumbering& strings) {
    putRecord(out, r.id, r.data);
    if (auto isst = keptStringIndex(r, strings.newIndex.size()))
        setU32(out.data() + out.size() - r.data.size() + kCellValue, strings(*isst));
}

} // namespace

void writeSheet(Bytes& out, const WorkbookStream& wb, const Sheet& sheet,
                const StringRenumbering& strings) {
    if (!sheet.worksheet) {
        for (const RawRecord& r : sheet.before) putKept(out, r, strings);
        for (const RawRecord& r : sheet.after) putKept(out, r, strings);
        return;
    }
    const bool hasUncalced = hasRecord(sheet.before, rec::kUncalced);
    std::size_t indexPos = SIZE_MAX, defColWidthPos = 0;
    for (std::size_t i = 0; i < sheet.before.size(); ++i) {
        const RawRecord& r = sheet.before[i];
        if (r.id == rec::kIndex) {
            indexPos = out.size();
            putRecord(out, rec::kIndex,
                      Bytes(kIndexDbCells + kIndexDbCellSize * rowBlocks(sheet), 0));
        } else if (r.id == rec::kDimensions) {
            writeDimensions(out, sheet, r.data);
        } else {
            if (r.id == rec::kDefColWidth) defColWidthPos = out.size();
            putKept(out, r, strings);
        }
        // After a change the sheet asks to be recalculated when opened.
        if (i == 0 && wb.changed() && !hasUncalced)
            putRecord(out, rec::kUncalced, Bytes(kUncalcedSize, 0));
    }
    if (!hasRecord(sheet.before, rec::kDimensions) && !sheet.rows.empty())
        writeDimensions(out, sheet, {});
    std::vector<std::uint32_t> dbCells = writeCellTable(out, sheet, strings);
    for (const RawRecord& r : sheet.after) putKept(out, r, strings);
    if (indexPos != SIZE_MAX)
        fillIndex(out.data() + indexPos + rec::kHeaderSize, sheet, defColWidthPos, dbCells);
}

} // namespace lanqi::xls
