#pragma once
// How a text typed into a cell of general format is stored: a plain decimal
// number becomes a number, unless storing it as one would change what the
// user sees (a leading zero, more than 15 significant digits) or the cell is
// formatted as Text; everything else stays text.
#include <string_view>

namespace lanqi::xls {

struct TypedEntry {
    enum Kind { Empty, Number, Text } kind;
    double number = 0;
};

TypedEntry classifyTyped(std::string_view text, bool cellIsTextFormat);

} // namespace lanqi::xls
