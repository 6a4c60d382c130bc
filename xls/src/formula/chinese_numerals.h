#pragma once
// Whole numbers in Chinese numerals, as the [DBNum1] (一千〇五), [DBNum2]
// (壹仟零伍, the figures of money documents) and [DBNum3] (１００５)
// number formats of a Chinese locale spell them.
#include <cstdint>
#include <string>
#include <string_view>

namespace lanqi::xls::formula {

enum class Numerals { Lower = 1, Upper = 2, FullWidth = 3 };

// `digits`: the decimal digits of a whole number below 10^16, no sign
// ("" or "0" for zero).
std::string chineseNumber(std::string_view digits, Numerals style);
// The minus sign each style puts before a negative number.
std::string_view chineseMinus(Numerals style);

} // namespace lanqi::xls::formula
