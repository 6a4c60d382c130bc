#include "numeric_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace lanqi {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text with blanks, tabs and line feeds removed.
std::string withoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') out.push_back(c);
    return out;
}

// Length of the longest leading number in `s`, sign excluded.
size_t numberLength(std::string_view s) {
    size_t i = 0, digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expStart = j;
        while (j < s.size() && isDigit(s[j])) ++j;
        if (j > expStart) i = j;
    }
    return i;
}

// Decimal digits of |value| at 15 significant digits: "d1...d15" and the
// number of digits before the point.
struct Decimal15 {
    std::string digits;
    int pointPos;
};

Decimal15 decimal15(double magnitude) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    std::string_view s(buf);
    size_t e = s.find('e');
    Decimal15 d;
    d.digits.reserve(15);
    for (char c : s.substr(0, e))
        if (isDigit(c)) d.digits.push_back(c);
    int exponent = 0;
    std::from_chars(buf + e + 1 + (s[e + 1] == '+'), buf + s.size(), exponent);
    d.pointPos = exponent + 1;
    return d;
}

// Adds one unit in the last place of a digit string; true when it carries out.
bool incrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

} // namespace

double leadingNumber(std::string_view text) {
    std::string s = withoutBlanks(text);
    std::string_view v(s);
    bool negative = false;
    if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
        negative = v[0] == '-';
        v.remove_prefix(1);
    }
    size_t n = numberLength(v);
    if (n == 0) return 0.0;
    double value = 0.0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + n, value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too large reads as infinity, too small as zero.
        size_t e = v.substr(0, n).find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < n && v[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

std::string plainNumber(double value) {
    if (!std::isfinite(value)) return std::string(kOverflowText);
    if (value == 0.0) return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s(buf);
    size_t e = s.find('e');
    if (e == std::string::npos) return s;
    // Exponent form, as "1.5E+20" or "1E-05".
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    return mantissa + "E" + exponent;
}

std::string fixedNumber(double value, int decimals) {
    if (!std::isfinite(value)) return std::string(kOverflowText);
    std::string intPart = "0", frac;
    if (value != 0.0) {
        Decimal15 d = decimal15(std::fabs(value));
        int n = static_cast<int>(d.digits.size());
        if (d.pointPos >= n) {
            intPart = d.digits + std::string(d.pointPos - n, '0');
        } else if (d.pointPos > 0) {
            intPart = d.digits.substr(0, d.pointPos);
            frac = d.digits.substr(d.pointPos);
        } else {
            frac = std::string(-d.pointPos, '0') + d.digits;
        }
    }
    bool roundUp = static_cast<int>(frac.size()) > decimals && frac[decimals] >= '5';
    frac.resize(decimals, '0');
    if (roundUp && incrementDigits(frac) && incrementDigits(intPart)) intPart.insert(0, "1");
    bool zero = intPart.find_first_not_of('0') == std::string::npos &&
                frac.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += intPart;
    if (decimals > 0) out += "." + frac;
    return out;
}

bool sortsBefore(std::string_view a, std::string_view b) {
    // char_traits<char> compares as unsigned char: UTF-8 bytes keep code order.
    return a.compare(b) < 0;
}

} // namespace lanqi
