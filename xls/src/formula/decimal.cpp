#include "formula/decimal.h"

#include "formula/value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lanqi::xls::formula {
namespace {

constexpr int kSignificant = 15;

// |v| as 15 significant digits d1 d2 ... d15 and the power of ten of d1.
struct Significant {
    std::string digits;
    int exponent = 0;
};

Significant significant(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*e", kSignificant - 1, std::fabs(v));
    std::string_view s(buf);
    Significant d;
    d.digits.reserve(kSignificant);
    for (char c : s.substr(0, s.find('e')))
        if (c != '.') d.digits.push_back(c);
    d.exponent = std::atoi(buf + s.find('e') + 1);
    return d;
}

// Adds one at the last digit of a string of digits; "99" becomes "100".
void increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The value of the 15 digits.
double valueOf(const Significant& s) {
    return std::strtod((s.digits + "e" + std::to_string(s.exponent - kSignificant + 1)).c_str(), nullptr);
}

// The digits of |v| from its highest place down to the place 10^lowest,
// rounded there. A half at 15 digits that the double itself lies below (it
// holds more digits: 100.49999999999999) rounds up as the user sees it and
// down as the double lies; the spreadsheet programs differ there, so it is
// not evaluated.
std::string digitsDownTo(double v, int lowest, Rounding how) {
    const Significant s = significant(v);
    const int highest = std::max(s.exponent, lowest);
    auto digitAt = [&](int place) {
        int k = s.exponent - place;
        return k >= 0 && k < kSignificant ? s.digits[static_cast<std::size_t>(k)] : '0';
    };
    auto halfAt = [&](int place) {
        if (digitAt(place) != '5') return false;
        for (int p = place - 1; p > s.exponent - kSignificant; --p)
            if (digitAt(p) != '0') return false;
        return true;
    };
    if (how == Rounding::HalfAway && halfAt(lowest - 1) && std::fabs(v) < valueOf(s))
        throw NotEvaluated{"a half beyond 15 significant digits"};
    std::string all;
    all.reserve(static_cast<std::size_t>(highest - lowest + 2));
    for (int place = highest; place >= lowest; --place) all.push_back(digitAt(place));
    bool up = false;
    if (how == Rounding::HalfAway) {
        up = digitAt(lowest - 1) >= '5';
    } else if (how == Rounding::Up) {
        for (int place = std::min(lowest - 1, s.exponent); place > s.exponent - kSignificant; --place)
            if (digitAt(place) != '0') up = true;
    }
    if (up) increment(all);
    return all;
}

} // namespace

FixedDigits fixedDigits(double v, int decimals) {
    FixedDigits out;
    const auto places = static_cast<std::size_t>(std::max(decimals, 0));
    if (v == 0 || !std::isfinite(v)) {
        out.fraction.assign(places, '0');
        return out;
    }
    std::string all = digitsDownTo(v, -decimals, Rounding::HalfAway);
    if (decimals < 0) all.append(static_cast<std::size_t>(-decimals), '0');
    if (all.size() < places) all.insert(0, places - all.size(), '0');
    out.whole = all.substr(0, all.size() - places);
    out.fraction = all.substr(all.size() - places);
    const std::size_t first = out.whole.find_first_not_of('0');
    out.whole = first == std::string::npos ? "" : out.whole.substr(first);
    return out;
}

double roundTo(double v, int decimals, Rounding how) {
    if (!std::isfinite(v) || v == 0) return v;
    const std::string all = digitsDownTo(v, -decimals, how);
    const double r = std::strtod((all + "e" + std::to_string(-decimals)).c_str(), nullptr);
    return v < 0 ? -r : r;
}

double approxFloor(double v) {
    if (!std::isfinite(v) || v == 0) return v;
    const double approx = valueOf(significant(v));
    return std::floor(v < 0 ? -approx : approx);
}

bool approxEqual(double a, double b) {
    if (a == b) return true;
    if (a == 0 || b == 0) return false;
    const double d = std::fabs(a - b);
    const double e48 = std::ldexp(1.0, -48);
    return d < std::fabs(a) * e48 && d < std::fabs(b) * e48;
}

double approxAdd(double a, double b) {
    if (((a < 0 && b > 0) || (a > 0 && b < 0)) && approxEqual(a, -b)) return 0;
    return a + b;
}

std::string generalText(double v) {
    if (v == 0) return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", kSignificant, v);
    std::string s = buf;
    if (s.find('e') != std::string::npos) throw NotEvaluated{"exponent form"};
    return s;
}

} // namespace lanqi::xls::formula
