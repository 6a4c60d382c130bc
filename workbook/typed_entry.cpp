#include "workbook/typed_entry.h"

#include <charconv>

namespace lanqi {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An optional minus sign, digits, and an optional point with digits.
bool isPlainDecimal(std::string_view t) {
    std::size_t i = (!t.empty() && t[0] == '-') ? 1 : 0;
    std::size_t intStart = i;
    while (i < t.size() && isDigit(t[i])) ++i;
    if (i == intStart) return false;
    if (i == t.size()) return true;
    if (t[i] != '.') return false;
    std::size_t fracStart = ++i;
    while (i < t.size() && isDigit(t[i])) ++i;
    return i == t.size() && i > fracStart;
}

int significantDigits(std::string_view t) {
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    std::size_t point = t.find('.');
    std::string_view whole = t.substr(0, point);
    std::string_view frac =
        point == std::string_view::npos ? std::string_view{} : t.substr(point + 1);
    while (!frac.empty() && frac.back() == '0') frac.remove_suffix(1);
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    if (whole.empty())
        while (!frac.empty() && frac.front() == '0') frac.remove_prefix(1);
    return static_cast<int>(whole.size() + frac.size());
}

} // namespace

xls::CellValue typedValue(std::string_view text, bool cellIsTextFormat) {
    using xls::CellValue;
    if (text.empty()) return CellValue::empty();
    const CellValue asText = CellValue::ofText(std::string(text));
    if (cellIsTextFormat || !isPlainDecimal(text)) return asText;
    std::string_view digits = text[0] == '-' ? text.substr(1) : text;
    if (digits.size() > 1 && digits[0] == '0' && isDigit(digits[1])) return asText;
    if (significantDigits(text) > 15) return asText;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return asText;
    if (value == 0) value = 0; // no negative zero
    return CellValue::ofNumber(value);
}

} // namespace lanqi
