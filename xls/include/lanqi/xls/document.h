#pragma once
// An Excel 97–2003 workbook (BIFF8 in a compound file) held in memory: its
// worksheets' cells read and written by (row, column) counted from 0, and the
// whole file produced again with everything that was not written as it was.
#include <lanqi/xls/cell_value.h>
#include <lanqi/xls/error.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::xls {

inline constexpr std::uint32_t kMaxRows = 65536;
inline constexpr std::uint16_t kMaxColumns = 256;
// Characters (UTF-16 units) one cell's text holds.
inline constexpr std::size_t kMaxTextLength = 32767;

class Document {
  public:
    // Throws Error when the bytes are not a workbook the engine can use.
    static Document parse(std::vector<std::uint8_t> bytes);

    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    ~Document();

    // The worksheets in the order of the file (chart and macro sheets are
    // not worksheets), and the one of that name.
    std::vector<std::string> worksheetNames() const;
    std::optional<std::size_t> findWorksheet(std::string_view name) const;

    CellValue cell(std::size_t sheet, std::uint32_t row, std::uint16_t col) const;
    // Every cell record of the sheet, by row and then column, blanks included.
    using CellVisitor = std::function<void(std::uint32_t row, std::uint16_t col, const CellValue&)>;
    void forEachCell(std::size_t sheet, const CellVisitor& visit) const;
    // The cell a defined name (Excel's name manager) refers to, when it
    // refers to one cell of a worksheet alone; names compare as Excel's do.
    struct NamedCell {
        std::size_t sheet;
        std::uint32_t row;
        std::uint16_t col;
    };
    std::optional<NamedCell> namedCell(std::string_view name) const;
    // Whether the cell is, or a new cell there would be, formatted as Text (@).
    bool isTextFormatted(std::size_t sheet, std::uint32_t row, std::uint16_t col) const;
    // Stores an empty, number or text value; the cell keeps its format, a new
    // cell takes its row's or column's. An empty value on a cell that does not
    // exist writes nothing. A cell inside an array formula of several cells
    // or a data table is refused (Error, WriteRefused), and so is a text
    // longer than kMaxTextLength (Error, TextTooLong); nothing is written.
    void setCell(std::size_t sheet, std::uint32_t row, std::uint16_t col, const CellValue& value);

    // Whether any cell was written since parse or the last markSaved.
    bool changed() const;
    // The whole file with the cells written, and the stored result of every
    // formula that reads them computed again where the engine can (others
    // keep theirs for the spreadsheet program to compute on opening); the
    // bytes parsed when nothing was written. The bytes are read back first: a result the engine
    // cannot read, or one where a written cell does not hold its value,
    // throws Error (Damaged) and leaves the document as it was.
    std::vector<std::uint8_t> serialize();
    // Says that the bytes of the last serialize are now the file on disk:
    // called once they were written, so that a failed write leaves the
    // document changed and the next save writes again.
    void markSaved();

  private:
    struct Parts;
    explicit Document(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

} // namespace lanqi::xls
