#pragma once
// A cell's value as the file stores it; a formula cell has the value of its
// last calculated result.
#include <string>

namespace lanqi::xls {

struct CellValue {
    enum class Kind { Empty, Number, Text, Boolean, Error };
    Kind kind = Kind::Empty;
    double number = 0; // Number; Boolean as 0 or 1
    std::string text;  // Text; Error as the spreadsheet shows it ("#DIV/0!")

    static CellValue empty() { return {}; }
    static CellValue ofNumber(double v) { return {Kind::Number, v, {}}; }
    static CellValue ofText(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    static CellValue ofBoolean(bool b) { return {Kind::Boolean, b ? 1.0 : 0.0, {}}; }
    static CellValue ofError(std::string t) { return {Kind::Error, 0, std::move(t)}; }

    bool operator==(const CellValue&) const = default;
};

} // namespace lanqi::xls
