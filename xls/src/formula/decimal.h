#pragma once
// Numbers as a spreadsheet computes and shows them: a double is taken at
// its 15 significant decimal digits, so that 1.005 rounds to 1.01 as the
// user sees it, and halves round away from zero.
#include <string>

namespace lanqi::xls::formula {

// |v| rounded half away from zero at `decimals` places after the point
// (negative: before it): the digits before the point ("" for none) and
// exactly `decimals` digits after it. A half at 15 digits that the double
// lies below throws NotEvaluated (the programs round it differently).
struct FixedDigits {
    std::string whole;
    std::string fraction;
};
FixedDigits fixedDigits(double v, int decimals);

// ROUND, ROUNDUP and ROUNDDOWN with `decimals` places; ROUND throws as
// fixedDigits does.
enum class Rounding { HalfAway, Up, Down };
double roundTo(double v, int decimals, Rounding how);

// v at 15 significant digits, then its floor (INT and MOD work on it).
double approxFloor(double v);
// Equality to 15 significant digits, as the spreadsheet compares numbers.
bool approxEqual(double a, double b);
// a + b, exactly 0 where the two cancel out to 15 digits.
double approxAdd(double a, double b);

// The number as text in the General format: up to 15 significant digits,
// no trailing zeros ("0.3", "-12", "1234567.891"). Throws NotEvaluated
// where the spreadsheet programs disagree (exponent forms).
std::string generalText(double v);

} // namespace lanqi::xls::formula
