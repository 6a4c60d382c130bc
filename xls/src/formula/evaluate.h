#pragma once
// Evaluation of one formula's tokens against the workbook's cells.
#include "bytes/byte_io.h"
#include "formula/value.h"

#include <functional>
#include <optional>
#include <vector>

namespace lanqi::xls::formula {

// The cells a formula reads.
class Cells {
  public:
    virtual ~Cells() = default;
    // The value of one cell, Empty where there is none; a formula's as computed.
    virtual Value value(std::size_t sheet, std::uint32_t row, std::uint16_t col) = 0;
    // Every cell of the area that exists, row by row, with its place.
    using Visitor = std::function<void(std::uint32_t row, std::uint16_t col, const Value&)>;
    virtual void forEach(const Area& area, const Visitor& visit) = 0;
    // The worksheet an EXTERNSHEET entry names, when it is one worksheet of this workbook.
    virtual std::optional<std::size_t> sheetOf(std::uint16_t externSheet) const = 0;
    // The tokens of the defined name of that index (from 1), when the engine reads it.
    virtual std::optional<ByteView> nameTokens(std::uint16_t index) const = 0;
};

struct Position {
    std::size_t sheet = 0;
    std::uint32_t row = 0;
    std::uint16_t col = 0;
};

// What a function sees: the cells and the formula's own cell.
struct Context {
    Cells& cells;
    Position at;
    // A reference read as one value: its cell, or the cell of the area in
    // the formula's row or column; otherwise #VALUE!.
    Value scalar(const Value& v);
    // Each value the argument holds: the cells of a reference that exist,
    // or the value itself (at the formula's own place).
    void forEach(const Value& v, const Cells::Visitor& visit);
};

// The formula's result at `at` (never a reference). `shared`: the tokens are
// a shared formula's, whose relative references count from `at`. Throws
// NotEvaluated for anything the engine does not evaluate, a damaged
// expression included.
Value evaluate(ByteView tokens, const Position& at, Cells& cells, bool shared);

// What a formula reads: the areas its tokens refer to, as `evaluate` would
// read them, and whether it is volatile (NOW, TODAY, RAND, OFFSET...: its
// stored result is already out of date when the file is opened), defined
// names followed. Throws NotEvaluated where it cannot tell (names of other
// workbooks, references to them).
struct Precedents {
    std::vector<Area> areas;
    bool isVolatile = false;
};
Precedents precedents(ByteView tokens, const Position& at, const Cells& cells, bool shared);

} // namespace lanqi::xls::formula
