#include "formula/chinese_numerals.h"

namespace lanqi::xls::formula {
namespace {

struct Glyphs {
    std::string_view digit[10];
    std::string_view unit[4];  // within a group of four: -, 十, 百, 千
    std::string_view group[4]; // groups of four digits: -, 万, 亿, 兆
};

constexpr Glyphs kLower{{"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"},
                        {"", "十", "百", "千"},
                        {"", "万", "亿", "兆"}};
constexpr Glyphs kUpper{{"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"},
                        {"", "拾", "佰", "仟"},
                        {"", "万", "亿", "兆"}};
constexpr std::string_view kFullWidth[10] = {"０", "１", "２", "３", "４",
                                             "５", "６", "７", "８", "９"};

} // namespace

// Read from the highest digit down: each nonzero digit with its unit, a
// group's name after the group when it holds a nonzero digit, and one zero
// for any run of zeros that comes before a nonzero digit (1005 一千〇五,
// 100010 一十万〇一十, 100000001 一亿〇一).
std::string chineseNumber(std::string_view digits, Numerals style) {
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    if (style == Numerals::FullWidth) {
        std::string out;
        for (char d : digits.empty() ? std::string_view("0") : digits)
            out += kFullWidth[d - '0'];
        return out;
    }
    const Glyphs& g = style == Numerals::Lower ? kLower : kUpper;
    if (digits.empty() || digits == "0") return std::string(g.digit[0]);
    std::string out;
    bool zeroPending = false, groupHasDigit = false;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::size_t place = digits.size() - 1 - i;
        const int d = digits[i] - '0';
        if (d == 0) {
            zeroPending = !out.empty();
        } else {
            if (zeroPending) out += g.digit[0];
            out += g.digit[d];
            out += g.unit[place % 4];
            zeroPending = false;
            groupHasDigit = true;
        }
        if (place % 4 == 0) {
            // A group's trailing zeros are not read: 101000 一十万一千.
            if (groupHasDigit) {
                out += g.group[place / 4];
                zeroPending = false;
            }
            groupHasDigit = false;
        }
    }
    return out;
}

std::string_view chineseMinus(Numerals style) {
    return style == Numerals::Upper ? "负" : "－";
}

} // namespace lanqi::xls::formula
