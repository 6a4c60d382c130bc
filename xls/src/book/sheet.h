#pragma once
// A worksheet in memory: its records around the cell table, kept as they
// were read, and its cells by row.
#include "biff/record_layout.h"
#include "bytes/byte_io.h"

#include <map>
#include <optional>
#include <string>
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
    std::uint16_t xf() const { return getU16(data, kCellXf); }
};

struct Row {
    std::optional<Bytes> record; // ROW payload
    std::vector<Cell> cells;     // ordered by column
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
    bool touched = false; // a cell was written: DIMENSIONS is computed again
};

// The cell at that column of the row, or null.
const Cell* findCell(const Sheet& sheet, std::uint32_t row, std::uint16_t col);

// The cell's name as the spreadsheet shows it: C5, AB12.
std::string cellName(std::uint32_t row, std::uint16_t col);

} // namespace lanqi::xls
