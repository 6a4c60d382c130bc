#include "calc/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

namespace lanqi {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
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

// The 15 significant decimal digits of a positive finite double, and the
// decimal exponent of the first one.
struct Decimal15 {
    char digits[15];
    int exponent;
};

Decimal15 decimal15(double magnitude) {
    char buf[32];
    char* end =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    Decimal15 d{};
    d.digits[0] = buf[0];
    std::copy(buf + 2, buf + 16, d.digits + 1); // "d.dddddddddddddde±x"
    const char* e = buf + 17;
    std::from_chars(e + (*e == '+'), end, d.exponent);
    return d;
}

// The ASCII form of the full-width character whose UTF-8 form starts at `s`
// (three bytes, U+FF01–U+FF5E lie at EF BC 81 – EF BD 9E), or 0.
char asciiOfFullWidth(std::string_view s) {
    if (s.size() < 3 || s[0] != '\xEF') return 0;
    const auto b1 = static_cast<unsigned char>(s[1]), b2 = static_cast<unsigned char>(s[2]);
    if ((b1 != 0xBC && b1 != 0xBD) || b2 < 0x80 || b2 > 0xBF) return 0;
    const int code = 0xFF00 + ((b1 - 0xBC) << 6) + (b2 - 0x80);
    const char c = static_cast<char>(code - 0xFF00 + 0x20);
    return isDigit(c) || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e' ? c : 0;
}

} // namespace

std::string asciiNumberForms(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (char c = asciiOfFullWidth(text.substr(i))) {
            out.push_back(c);
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

double leadingNumber(std::string_view text) {
    // Blanks, tabs and line feeds do not count, wherever they stand.
    std::string compact;
    std::string_view v = text;
    if (std::find_if(text.begin(), text.end(), isBlank) != text.end()) {
        std::copy_if(text.begin(), text.end(), std::back_inserter(compact),
                     [](char c) { return !isBlank(c); });
        v = compact;
    }
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
    if (value == 0.0) return decimals > 0 ? "0." + std::string(decimals, '0') : "0";
    Decimal15 d = decimal15(std::fabs(value));
    // Digit places: intLen before the point, then the decimals; the place with
    // decimal exponent x holds significant digit (d.exponent - x).
    int intLen = std::max(d.exponent + 1, 1);
    int places = intLen + decimals;
    auto digitAt = [&](int j) { return j >= 0 && j < 15 ? d.digits[j] : '0'; };
    std::string digits(places, '0');
    for (int p = 0; p < places; ++p) digits[p] = digitAt(p - intLen + d.exponent + 1);
    bool carry = digitAt(places - intLen + d.exponent + 1) >= '5';
    for (int p = places; carry && p-- > 0;) {
        carry = digits[p] == '9';
        digits[p] = carry ? '0' : digits[p] + 1;
    }
    if (carry) digits.insert(digits.begin(), '1'), ++intLen;
    bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out;
    out.reserve(digits.size() + 2);
    if (value < 0 && !zero) out.push_back('-');
    out.append(digits, 0, intLen);
    if (decimals > 0) {
        out.push_back('.');
        out.append(digits, intLen);
    }
    return out;
}

} // namespace lanqi

namespace lanqi {

std::optional<std::int64_t> decimalUnits(std::string_view text, int places) {
    const bool signed_ = !text.empty() && (text[0] == '-' || text[0] == '+');
    const bool negative = signed_ && text[0] == '-';
    size_t at = signed_ ? 1 : 0;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    std::int64_t units = 0;
    int decimals = -1; // digits after the point; -1 before it
    bool digits = false, roundUp = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digits = true;
        if (decimals >= places) {
            if (decimals == places) roundUp = c >= '5';
            ++decimals;
            continue;
        }
        if (units > kLimit) return std::nullopt;
        units = units * 10 + (c - '0');
        if (decimals >= 0) ++decimals;
    }
    if (!digits) return std::nullopt;
    for (int d = std::max(decimals, 0); d < places; ++d) {
        if (units > kLimit) return std::nullopt;
        units *= 10;
    }
    if (roundUp) ++units;
    return negative ? -units : units;
}

} // namespace lanqi
