#pragma once
// Where the fields of the BIFF8 records the engine reads or builds lie in
// their payloads (u16, u32 little-endian; offsets in bytes).
//
//   BOF         version u16 | substream type u16 | build, year, history...
//   BOUNDSHEET  BOF position u32 | visibility u8 | sheet type u8 | name (8-bit length)
//   XF          font u16 | number format u16 | ...
//   FORMAT      number format u16 | format string
//   SST         references u32 | unique strings u32 | strings...
//   EXTSST      strings per bucket u16 | per bucket: stream position u32,
//               offset in its record u16, reserved u16
//   COLINFO     first column u16 | last column u16 | width u16 | format u16 | options u16 | u16
//   DEFAULTROWHEIGHT  options u16 | height u16
//   DIMENSIONS  first row u32 | last row + 1 u32 | first column u16 | last column + 1 u16 | u16
//   INDEX       reserved u32 | first row u32 | last row + 1 u32 | DEFCOLWIDTH position u32 |
//               DBCELL positions u32...
//   ROW         row u16 | first column u16 | last column + 1 u16 | height u16 | u16 | u16 |
//               options u32: format in bits 16–27, used when bit 7 is set
//   DBCELL      back to the first ROW record u32 | per row: to its first cell u16...
//
//   cell        row u16 | column u16 | format u16 | value...
//     NUMBER    value f64
//     RK        value RK u32
//     BOOLERR   value u8 | is error u8
//     LABELSST  shared string index u32
//     LABEL, RSTRING  string (16-bit length) | rich text runs...
//     FORMULA   result 8 bytes | options u16 | u32 | expression size u16 | expression...
//               the result is an f64, or when its last u16 is 0xFFFF: type u8 | u8 |
//               value u8 (boolean or error code); a string result is a STRING record after it
//   MULRK       row u16 | first column u16 | per column: format u16, RK u32 | last column u16
//   MULBLANK    row u16 | first column u16 | per column: format u16 | last column u16
//   SHRFMLA     first row u16 | last row u16 | first column u8 | last column u8 | u8 |
//               cells that use it u8 | expression size u16 | expression...
//   ARRAY       first row u16 | last row u16 | first column u8 | last column u8 |
//               options u16 | u32 | expression size u16 | expression...
//   STRING      a formula's string result: string (16-bit length)
//   SUPBOOK     sheets u16 | 0x0401 when it stands for this workbook, else a file name...
//   EXTERNSHEET entries u16 | per entry: SUPBOOK index u16, first sheet u16, last sheet u16
//               (sheets counted in BOUNDSHEET order)
//   NAME        options u16 | key u8 | name length u8 | expression size u16 | u16 | sheet u16 |
//               4 lengths u8 | name (option byte, characters) | expression | texts...
//   ptgExp      token 0x01 | row u16 | column u16: a formula that is the shared
//               formula anchored at (row, column)
#include <cstddef>
#include <cstdint>

namespace lanqi::xls {

inline constexpr std::size_t kBofVersion = 0, kBofType = 2;
inline constexpr std::uint16_t kBiff8 = 0x0600;
inline constexpr std::uint16_t kGlobalsType = 0x0005;
inline constexpr std::uint16_t kWorksheetType = 0x0010;

inline constexpr std::size_t kBoundSheetPosition = 0, kBoundSheetName = 6;
inline constexpr std::size_t kXfFormat = 2;
inline constexpr std::size_t kExtSstPerBucket = 0;
inline constexpr std::size_t kFormatIndex = 0, kFormatString = 2;
inline constexpr std::size_t kColInfoFirst = 0, kColInfoLast = 2, kColInfoXf = 6;
inline constexpr std::size_t kDefaultRowHeightValue = 2;

inline constexpr std::size_t kDimensionsRowFirst = 0, kDimensionsRowEnd = 4;
inline constexpr std::size_t kDimensionsColFirst = 8, kDimensionsColEnd = 10;
inline constexpr std::size_t kDimensionsAreaSize = 12, kDimensionsSize = 14;

inline constexpr std::size_t kIndexReserved = 0, kIndexRowFirst = 4, kIndexRowEnd = 8;
inline constexpr std::size_t kIndexDefColWidth = 12;
inline constexpr std::size_t kIndexDbCells = 16, kIndexDbCellSize = 4; // one for each row block
inline constexpr std::size_t kUncalcedSize = 2;                        // reserved

inline constexpr std::size_t kRowIndex = 0, kRowColFirst = 2, kRowColEnd = 4;
inline constexpr std::size_t kRowOptions = 12, kRowSize = 16;
inline constexpr std::uint32_t kRowHasFormat = 0x80;
inline constexpr unsigned kRowFormatShift = 16;
inline constexpr std::uint32_t kRowFormatMask = 0x0FFF;
inline constexpr std::uint32_t kRowNewOptions = 0x000F0100; // format 15, bit 8 always set
inline constexpr std::uint32_t kRowsPerBlock = 32;          // rows indexed by one DBCELL

inline constexpr std::size_t kCellRow = 0, kCellCol = 2, kCellXf = 4, kCellValue = 6;
inline constexpr std::size_t kBoolErrIsError = 7;
inline constexpr std::size_t kFormulaResultType = 6, kFormulaResultValue = 8;
inline constexpr std::size_t kFormulaResultMarker = 12; // 0xFFFF: not a number
inline constexpr std::uint16_t kFormulaNotNumber = 0xFFFF;
inline constexpr std::size_t kFormulaExpressionSize = 20, kFormulaExpression = 22;
// Result types of a formula whose result is not a number; a string result
// but the empty one has a STRING record after the formula.
inline constexpr std::uint8_t kResultString = 0, kResultBoolean = 1, kResultError = 2,
                              kResultEmptyString = 3;

inline constexpr std::size_t kMultiRow = 0, kMultiColFirst = 2, kMultiItems = 4;
inline constexpr std::size_t kMultiLastColSize = 2;
inline constexpr std::size_t kMulRkItem = 6, kMulBlankItem = 2;

// SHRFMLA, ARRAY and TABLE start with the cells they cover:
//   rwFirst u16 | rwLast u16 | colFirst u8 | colLast u8
// SHRFMLA goes on: reserved u8 | cUse u8 (cells that use it) | cce | rgce.
inline constexpr std::size_t kRefRowFirst = 0, kRefRowLast = 2;
inline constexpr std::size_t kRefColFirst = 4, kRefColLast = 5, kRefSize = 6;
inline constexpr std::size_t kShrFmlaRowFirst = kRefRowFirst, kShrFmlaRowLast = kRefRowLast;
inline constexpr std::size_t kShrFmlaColFirst = kRefColFirst, kShrFmlaColLast = kRefColLast;
inline constexpr std::size_t kShrFmlaUses = 7;
inline constexpr std::size_t kShrFmlaExpressionSize = 8, kShrFmlaExpression = 10;
inline constexpr std::size_t kArrayExpressionSize = 12, kArrayExpression = 14;

inline constexpr std::size_t kSupBookSheets = 0, kSupBookKind = 2, kSupBookSelfSize = 4;
inline constexpr std::uint16_t kSupBookSelf = 0x0401;
inline constexpr std::size_t kExternSheetCount = 0, kExternSheetEntries = 2;
inline constexpr std::size_t kNameLength = 3, kNameExpressionSize = 4, kNameText = 14;
inline constexpr std::size_t kXtiSupBook = 0, kXtiFirst = 2, kXtiLast = 4, kXtiSize = 6;

// A formula whose whole expression is ptgExp (a shared or array formula) or
// ptgTbl (a cell of a data table): ptg u8 | row u16 | col u16 of the cell
// that holds the SHRFMLA, ARRAY or TABLE record.
inline constexpr std::uint8_t kPtgExp = 0x01, kPtgTbl = 0x02;
inline constexpr std::size_t kPtgExpRow = 1, kPtgExpCol = 3, kPtgExpSize = 5;

} // namespace lanqi::xls
