#pragma once
// Numbers on the window live only as field texts. These are the rules for
// reading and writing them; every part of the program uses them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanqi {

// The text written where a value cannot be shown as a number (an overflow).
// It reads back as 0 and is never blanked.
inline constexpr std::string_view kOverflowText = "溢出";

// Leading-number parse: blanks, tabs and line feeds are dropped, then the
// longest leading number (sign, digits with at most one point, optional
// exponent) is read; a text without one reads as 0.
double leadingNumber(std::string_view text);

// The full-width forms an input method types in full-width mode (０–９, ．,
// －, ＋, Ｅ, ｅ) turned into their ASCII forms; everything else is kept. Each
// replaced character is one UTF-16 unit and becomes one, so a caret counted
// in UTF-16 units stays where it was.
std::string asciiNumberForms(std::string_view text);

// Plain number text: up to 15 significant digits, no trailing zeros, no point
// for whole numbers ("7", "3.5", "0.25"); exponent form outside 1e-5..1e15.
std::string plainNumber(double value);

// Fixed pattern with `decimals` places ("0.00", "0.000", "0.0000"), rounded
// half away from zero on the decimal value the double shows at 15 significant
// digits, so 0.0015 gives "0.002" although the double lies just below.
std::string fixedNumber(double value, int decimals);

// Ordinal text comparison: by character code, a proper prefix first, the
// empty text before everything.
// (char_traits<char> compares as unsigned char, so UTF-8 keeps code order.)
inline bool sortsBefore(std::string_view a, std::string_view b) {
    return a.compare(b) < 0;
}

} // namespace lanqi

namespace lanqi {

// A shown decimal text as an exact integer of 10^-places units: "4.941" with
// 4 places is 49410, "-12.5" with 2 places is -1250. Digits beyond `places`
// round half away from zero. Nothing for a text that is not a plain decimal
// number (empty, "溢出", an exponent, letters).
std::optional<std::int64_t> decimalUnits(std::string_view text, int places);

} // namespace lanqi
