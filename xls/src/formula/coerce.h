#pragma once
// How one kind of value becomes another where an operator or a function
// needs it, by the spreadsheet's rules: TRUE is 1, an empty cell is 0 or
// "", a text is a number when it reads as one, an error goes on as it is.
#include "formula/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace lanqi::xls::formula {

// Thrown by a conversion that meets an error or cannot convert: the
// operation's result is this error.
struct ErrorResult {
    ErrorCode code;
};

// A text that reads as a number: spaces around, a sign, digits with one
// point, an exponent. Texts the spreadsheet programs read differently
// (thousands separators, percent, dates, currency) throw NotEvaluated; a
// text with no digit gives nothing.
std::optional<double> parseNumber(std::string_view text);

// Scalars only (no references).
double toNumber(const Value& v);
std::string toText(const Value& v);
bool toBoolean(const Value& v);

// The spreadsheet's order of two scalars: numbers, then texts (without
// regard to case), then FALSE and TRUE; an empty value counts as 0, "" or
// FALSE against the other. Negative, zero or positive.
int compare(const Value& a, const Value& b);

// Upper case of the ASCII letters, for comparisons without regard to case.
std::string foldCase(std::string_view s);

// Two texts equal without regard to case. Texts with letters that have
// case beyond ASCII (Latin accents, Greek, Cyrillic, full-width Latin)
// throw NotEvaluated; Chinese has none.
bool textEqual(std::string_view a, std::string_view b);

} // namespace lanqi::xls::formula
