#pragma once
// The BIFF8 workbook stream in memory: the globals (shared strings, cell
// formats, sheet list), and for each worksheet its records around the cell
// table and the cells by row. Records the engine does not change are kept as
// they were read and written back unchanged; the indexes that depend on
// positions (row blocks, DBCELL, INDEX, DIMENSIONS, sheet offsets, SST and
// EXTSST) are rebuilt on write.
#include "biff/string.h"

#include <lanqi/xls/cell_value.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanqi::xls {

struct RawRecord {
    std::uint16_t id;
    Bytes data;
};

struct Cell {
    std::uint16_t col = 0;
    std::uint16_t id = 0; // the record that holds it alone (RK or BLANK for MULRK/MULBLANK members)
    Bytes data;           // that record's payload: row, column, format index, value
    std::uint32_t group = 0;         // cells read from one MULRK/MULBLANK share a nonzero group
    std::vector<RawRecord> trailers; // records that belong to a formula: STRING, SHRFMLA, ...
    std::string text;                // the text of inline strings and of a formula's string result
    std::uint16_t xf() const { return getU16(data, 4); }
};

struct Row {
    std::optional<Bytes> record; // ROW payload
    std::vector<Cell> cells;     // ordered by column
    bool touched = false;
};

struct ColumnFormat {
    std::uint16_t first, last, xf;
};

struct Sheet {
    std::string name;
    std::size_t boundSheet = SIZE_MAX; // index of its BOUNDSHEET record in the globals
    bool worksheet = false;            // only worksheets have a cell table read here
    std::vector<RawRecord> before;     // BOF up to the cell table (INDEX, DIMENSIONS rebuilt)
    std::map<std::uint32_t, Row> rows;
    std::vector<RawRecord> after; // after the cell table up to and including EOF
    std::vector<ColumnFormat> columns;
    std::uint16_t defaultRowHeight = 255;
    bool indexed = false; // had INDEX or DBCELL records; written without when it had none
    bool touched = false;
};

struct WorkbookStream {
    std::vector<RawRecord> globals;    // without SST, its CONTINUEs and EXTSST
    std::size_t sstAt = SIZE_MAX;      // globals index the SST is written before
    std::vector<SharedString> strings; // the shared string table
    std::unordered_map<std::string, std::uint32_t> stringIndex;
    std::uint16_t stringsPerBucket = 0;   // of the EXTSST as read, kept where it still fits
    std::vector<std::uint16_t> xfFormats; // number format index of each cell format
    std::map<std::uint16_t, std::string> formats;
    std::vector<Sheet> sheets; // in stream order
    std::uint16_t codePage = 1200;
    bool date1904 = false;
    bool changed = false;
    Bytes tail; // zero padding after the last record

    Sheet* sheet(std::string_view name);
    bool isTextFormat(std::uint16_t xf) const;
};

// Throws Error for a stream that is not BIFF8 (older versions,
// encrypted) or whose records contradict themselves.
WorkbookStream readWorkbookStream(ByteView stream);
Bytes writeWorkbookStream(WorkbookStream& wb);

// The cell's value as stored; a formula as its cached result.
CellValue cellValue(const WorkbookStream& wb, const Cell& cell);
// The value of the cell (row, column counted from 0); empty if absent.
CellValue cellValue(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                    std::uint16_t col);
// Whether the cell, or a new cell written there, has the Text (@) format.
bool isTextFormatted(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                     std::uint16_t col);
// Stores an empty, number or text value in the cell, keeping its format.
void setCellValue(WorkbookStream& wb, Sheet& sheet, std::uint32_t row, std::uint16_t col,
                  const CellValue& value);

} // namespace lanqi::xls
