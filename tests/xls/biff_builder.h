#pragma once
// Hand-made BIFF8 workbooks for the record tests: globals with a set of
// cell formats and number formats, an SST given as raw records, and sheets
// whose cell records the test writes itself.
#include "book/workbook_stream.h"
#include "tests/xls/compound_builder.h"

#include <string>
#include <vector>

namespace lanqi::test {

// Cell formats of every built workbook: 0–15 general, 16 built-in Text,
// 17 custom "@", 18 "0.00".
inline constexpr std::uint16_t kXfText = 16, kXfCustomText = 17, kXfTwoDecimals = 18;

struct SheetSpec {
    std::string name;
    std::vector<xls::RawRecord> cells; // between DIMENSIONS and WINDOW2
    std::vector<xls::RawRecord> head;  // before DIMENSIONS (COLINFO, ...)
    bool dimensionsLast = false;       // DIMENSIONS after WINDOW2, as some writers put it
};

struct BookSpec {
    std::vector<xls::RawRecord> sst; // SST and its CONTINUE records
    std::vector<xls::RawRecord> extraGlobals;
    std::vector<SheetSpec> sheets;
    std::uint16_t bofVersion = 0x0600;
    std::vector<std::uint16_t> sheetTypes; // BOF type of each sheet; a worksheet where not given
};

inline constexpr std::uint16_t kMacroSheet = 0x0040;

xls::Bytes buildStream(const BookSpec& plan);
xls::Bytes buildFile(const BookSpec& plan, const std::u16string& streamName = u"Workbook");

xls::RawRecord cellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                          const xls::Bytes& value = {});
xls::RawRecord record(std::uint16_t id, const xls::Bytes& data);
xls::Bytes le16(std::uint16_t v);
xls::Bytes le32(std::uint32_t v);
xls::Bytes f64(double v);
xls::Bytes operator+(xls::Bytes a, const xls::Bytes& b);
// A FORMULA cell whose whole expression is `expression`, cached result 0.
xls::RawRecord formulaCell(std::uint16_t row, std::uint16_t col, const xls::Bytes& expression);
// An SST record holding these plain strings (8-bit characters).
xls::RawRecord simpleSst(const std::vector<std::string>& strings);

// ptgExp (1) or ptgTbl (2) to (row, col); ptgRefN two columns to the right.
xls::Bytes pointer(std::uint8_t ptg, std::uint16_t row, std::uint16_t col);
extern const xls::Bytes kTwoRight;
// Sheet 原木一: A1:B3 share one formula (kTwoRight); D1:D2 hold one array
// formula, F1 one of its own cell; H1 is a cell of a data table.
BookSpec formulaBook();
// Sheet S: A1 a plain string that fills the SST record up to ten bytes after
// the characters of A2's, whose phonetic block (kPhoneticBlock) is longer.
extern const xls::Bytes kPhoneticBlock;
BookSpec phoneticBook();

// The record kind and format of a cell in a saved file.
struct StoredCell {
    std::uint16_t id = 0, xf = 0;
    bool present = false;
    std::size_t trailers = 0;
};
StoredCell storedCell(const xls::Bytes& file, const std::string& sheet, std::uint32_t row,
                      std::uint16_t col);

} // namespace lanqi::test
