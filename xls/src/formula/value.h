#pragma once
// The values a formula computes with: the scalars a cell can hold, and
// references to cells, which functions read as ranges and operators read
// as the one cell they stand for.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lanqi::xls::formula {

// The codes a BIFF8 file stores for an error value.
enum class ErrorCode : std::uint8_t {
    Null = 0x00,
    Div0 = 0x07,
    Value = 0x0F,
    Ref = 0x17,
    Name = 0x1D,
    Num = 0x24,
    NA = 0x2A,
};

// A rectangle of cells on one worksheet (sheet counted among the worksheets).
struct Area {
    std::size_t sheet = 0;
    std::uint32_t rowFirst = 0, rowLast = 0;
    std::uint16_t colFirst = 0, colLast = 0;
    bool contains(std::size_t s, std::uint32_t r, std::uint16_t c) const {
        return s == sheet && r >= rowFirst && r <= rowLast && c >= colFirst && c <= colLast;
    }
    bool single() const { return rowFirst == rowLast && colFirst == colLast; }
};

struct Value {
    // Missing: an empty argument, as in IF(A1,,2); each function reads it
    // by its own rule (EmptyArgument) before it sees its arguments.
    enum class Kind { Empty, Number, Text, Boolean, Error, Reference, Missing };
    Kind kind = Kind::Empty;
    double number = 0;   // Number; Boolean as 0 or 1
    std::string text;    // Text, UTF-8
    ErrorCode error = ErrorCode::Value;
    Area area;           // Reference

    static Value empty() { return {}; }
    static Value missing() { return {Kind::Missing, 0, {}, {}, {}}; }
    static Value ofNumber(double v) { return {Kind::Number, v, {}, {}, {}}; }
    static Value ofText(std::string t) { return {Kind::Text, 0, std::move(t), {}, {}}; }
    static Value ofBoolean(bool b) { return {Kind::Boolean, b ? 1.0 : 0.0, {}, {}, {}}; }
    static Value ofError(ErrorCode e) { return {Kind::Error, 0, {}, e, {}}; }
    static Value ofArea(const Area& a) { return {Kind::Reference, 0, {}, {}, a}; }

    bool isError() const { return kind == Kind::Error; }
    bool isReference() const { return kind == Kind::Reference; }
};

// Thrown where a formula uses something the engine does not evaluate: the
// formula keeps the result the file stored, for the spreadsheet program to
// compute again when it opens the file.
struct NotEvaluated {
    const char* what; // for listings: the token, function or format
};

} // namespace lanqi::xls::formula
