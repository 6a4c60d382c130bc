#include "formula/number_format.h"

#include "formula/chinese_numerals.h"
#include "formula/decimal.h"
#include "formula/value.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lanqi::xls::formula {
namespace {

// One piece of a format section.
struct Item {
    enum class Kind { Literal, Digit, Point, Percent, Date, AmPm, General, TextValue };
    Kind kind;
    std::string text; // Literal: the text; Digit: 0 # ?; Date: the code (yyyy, mm, d, h, ...)
};

struct Section {
    std::vector<Item> items;
    std::optional<Numerals> numerals; // [DBNum1] ... [DBNum3]
    bool chineseLocale = false;       // [$-804]
    bool thousands = false;           // a comma between digit placeholders
    int scale = 0;                    // commas after the last digit: thousands each
    bool hasDate() const {
        return std::any_of(items.begin(), items.end(),
                           [](const Item& i) { return i.kind == Item::Kind::Date; });
    }
    bool has(Item::Kind k) const {
        return std::any_of(items.begin(), items.end(), [k](const Item& i) { return i.kind == k; });
    }
};

bool isDigitPlaceholder(char c) {
    return c == '0' || c == '#' || c == '?';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(s[i]) != lower(prefix[i])) return false;
    return true;
}

// The sections of a format, split at semicolons outside quotes, brackets and escapes.
std::vector<std::string_view> splitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    bool quoted = false, bracket = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (quoted) {
            quoted = c != '"';
        } else if (bracket) {
            bracket = c != ']';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[') {
            bracket = true;
        } else if (c == '\\') {
            ++i;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    if (sections.size() > 4) throw NotEvaluated{"format with more than four sections"};
    return sections;
}

// The length of the UTF-8 character that starts with byte c.
std::size_t charLength(unsigned char c) {
    return c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

bool isCondition(std::string_view bracket) {
    return !bracket.empty() && (bracket[0] == '<' || bracket[0] == '>' || bracket[0] == '=');
}

void bracketed(std::string_view content, Section& s) {
    if (isCondition(content)) return; // the section was picked by it (pickSection)
    if (startsWithNoCase(content, "dbnum") && content.size() == 6 && content[5] >= '1' &&
        content[5] <= '3') {
        s.numerals = static_cast<Numerals>(content[5] - '0');
        return;
    }
    if (!content.empty() && content[0] == '$') {
        // [$symbol-locale]: the symbol is shown, the locale picks the language.
        std::size_t dash = content.find('-');
        std::string_view symbol = content.substr(1, dash == std::string_view::npos ? dash : dash - 1);
        if (!symbol.empty()) s.items.push_back({Item::Kind::Literal, std::string(symbol)});
        if (dash != std::string_view::npos) {
            std::string_view locale = content.substr(dash + 1);
            s.chineseLocale = locale.size() >= 3 &&
                              startsWithNoCase(locale.substr(locale.size() - 3), "804");
            if (!s.chineseLocale) throw NotEvaluated{"number format locale"};
        }
        return;
    }
    static constexpr std::string_view kColors[] = {"black", "blue",    "cyan", "green",
                                                   "magenta", "red", "white", "yellow"};
    for (std::string_view c : kColors)
        if (content.size() == c.size() && startsWithNoCase(content, c)) return;
    if (startsWithNoCase(content, "color")) return;
    throw NotEvaluated{"elapsed time or another bracketed code"};
}

Section parseSection(std::string_view f) {
    Section s;
    auto literal = [&](std::string text) {
        if (!s.items.empty() && s.items.back().kind == Item::Kind::Literal)
            s.items.back().text += text;
        else
            s.items.push_back({Item::Kind::Literal, std::move(text)});
    };
    bool afterPoint = false;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char lc = lower(c);
        if (c == '"') {
            std::size_t end = f.find('"', i + 1);
            if (end == std::string_view::npos) throw NotEvaluated{"unterminated quote in format"};
            literal(std::string(f.substr(i + 1, end - i - 1)));
            i = end + 1;
        } else if (c == '\\') {
            if (i + 1 >= f.size()) throw NotEvaluated{"escape at the end of a format"};
            std::size_t n = charLength(static_cast<unsigned char>(f[i + 1]));
            literal(std::string(f.substr(i + 1, n)));
            i += 1 + n;
        } else if (c == '[') {
            std::size_t end = f.find(']', i);
            if (end == std::string_view::npos) throw NotEvaluated{"unterminated bracket in format"};
            bracketed(f.substr(i + 1, end - i - 1), s);
            i = end + 1;
        } else if (isDigitPlaceholder(c)) {
            s.items.push_back({Item::Kind::Digit, std::string(1, c)});
            ++i;
        } else if (c == '.') {
            if (afterPoint || s.hasDate()) throw NotEvaluated{"fractional seconds or a second point"};
            afterPoint = true;
            s.items.push_back({Item::Kind::Point, "."});
            ++i;
        } else if (c == ',') {
            const bool digitBefore = !s.items.empty() && s.items.back().kind == Item::Kind::Digit;
            if (digitBefore && i + 1 < f.size() && isDigitPlaceholder(f[i + 1]) && !afterPoint) {
                s.thousands = true;
            } else if (digitBefore || (s.scale > 0 && i > 0 && f[i - 1] == ',')) {
                ++s.scale;
            } else {
                literal(",");
            }
            ++i;
        } else if (c == '%') {
            s.items.push_back({Item::Kind::Percent, "%"});
            ++i;
        } else if (c == '@') {
            s.items.push_back({Item::Kind::TextValue, "@"});
            ++i;
        } else if (startsWithNoCase(f.substr(i), "general")) {
            s.items.push_back({Item::Kind::General, ""});
            i += 7;
        } else if (startsWithNoCase(f.substr(i), "am/pm")) {
            s.items.push_back({Item::Kind::AmPm, "AM/PM"});
            i += 5;
        } else if (startsWithNoCase(f.substr(i), "a/p")) {
            s.items.push_back({Item::Kind::AmPm, "A/P"});
            i += 3;
        } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
            std::size_t n = 1;
            while (i + n < f.size() && lower(f[i + n]) == lc) ++n;
            s.items.push_back({Item::Kind::Date, std::string(n, lc)});
            i += n;
        } else if (c == '_' || c == '*' || c == '/' || (c >= 'A' && c <= 'Z') ||
                   (c >= 'a' && c <= 'z')) {
            throw NotEvaluated{"number format code"};
        } else {
            std::size_t n = charLength(static_cast<unsigned char>(c));
            literal(std::string(f.substr(i, n)));
            i += n;
        }
    }
    if (s.hasDate() && s.has(Item::Kind::Digit)) throw NotEvaluated{"date with digit placeholders"};
    // m right after an hour or right before a second is the minute.
    for (std::size_t k = 0; k < s.items.size(); ++k) {
        Item& it = s.items[k];
        if (it.kind != Item::Kind::Date || it.text[0] != 'm' || it.text.size() > 2) continue;
        auto neighbour = [&](int step) -> char {
            for (auto j = static_cast<std::ptrdiff_t>(k) + step;
                 j >= 0 && j < static_cast<std::ptrdiff_t>(s.items.size()); j += step) {
                const Item& o = s.items[static_cast<std::size_t>(j)];
                if (o.kind == Item::Kind::Date) return o.text[0];
            }
            return 0;
        };
        if (neighbour(-1) == 'h' || neighbour(1) == 's') it.text = it.text.size() == 1 ? "n" : "nn";
    }
    return s;
}

// A section's condition, as in [>=100]0;0.00; no operator where it has none.
struct Condition {
    std::string_view op;
    double bound = 0;
    bool given() const { return !op.empty(); }
    bool holds(double v) const {
        return op == "<"    ? v < bound
               : op == "<=" ? v <= bound
               : op == ">"  ? v > bound
               : op == ">=" ? v >= bound
               : op == "<>" ? v != bound
                            : v == bound;
    }
};

// The condition in the section's brackets (outside quotes and escapes).
Condition conditionOf(std::string_view section) {
    for (std::size_t i = 0; i < section.size(); ++i) {
        if (section[i] == '\\') {
            ++i;
        } else if (section[i] == '"') {
            i = section.find('"', i + 1);
            if (i == std::string_view::npos) break;
        } else if (section[i] == '[') {
            const std::size_t end = section.find(']', i);
            if (end == std::string_view::npos) break;
            const std::string_view content = section.substr(i + 1, end - i - 1);
            if (isCondition(content)) {
                const std::size_t opSize = content.find_first_not_of("<>=");
                const std::string bound(content.substr(std::min(opSize, content.size())));
                char* stop = nullptr;
                const double b = std::strtod(bound.c_str(), &stop);
                if (bound.empty() || *stop != '\0') throw NotEvaluated{"number format condition"};
                return Condition{content.substr(0, opSize), b};
            }
            i = end;
        }
    }
    return {};
}

// The section that shows v, and whether a minus sign goes before it.
// Without conditions: positive;negative;zero. With them, as Excel picks:
// the first of the first two sections whose condition v meets, else the
// section after them (the second, when only the first has a condition).
// Where the minus goes then the programs differ: negative numbers are not
// evaluated.
std::pair<std::size_t, bool> pickSection(const std::vector<std::string_view>& sections, double v) {
    const Condition first = conditionOf(sections[0]);
    const Condition second = sections.size() > 1 ? conditionOf(sections[1]) : Condition{};
    if (!first.given() && !second.given()) {
        if (sections.size() >= 3 && v == 0) return {2, false};
        if (sections.size() >= 2 && v < 0) return {1, false};
        return {0, v < 0};
    }
    if (v < 0) throw NotEvaluated{"negative number in a format with conditions"};
    for (std::size_t k = 2; k < sections.size(); ++k)
        if (conditionOf(sections[k]).given()) throw NotEvaluated{"condition past the second section"};
    if (!first.given()) throw NotEvaluated{"condition in the second section only"};
    if (first.holds(v)) return {0, false};
    if (!second.given() && sections.size() == 2) return {1, false};
    if (second.given() && second.holds(v)) return {1, false};
    if (second.given() && sections.size() >= 3) return {2, false};
    throw NotEvaluated{"number that no section of the format takes"};
}

std::string twoDigits(int n) {
    std::string s = std::to_string(n);
    if (s.size() < 2) s.insert(s.begin(), '0');
    return s;
}

// Days since 1899-12-30 to the civil date (serials from 61 on, where the
// spreadsheet programs agree).
void civilDate(long days, int& y, int& m, int& d) {
    const long z = days - 25569 + 719468; // days since 0000-03-01; 1970-01-01 is serial 25569
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

std::string formatDate(double v, const Section& s) {
    if (!(v >= 61 && v < 2958466)) throw NotEvaluated{"date before March 1900 or after 9999"};
    double dayPart = std::floor(v);
    long seconds = std::lround((v - dayPart) * 86400);
    if (seconds >= 86400) throw NotEvaluated{"time that rounds into the next day"};
    int y, mo, d;
    civilDate(static_cast<long>(dayPart), y, mo, d);
    const int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
              second = static_cast<int>(seconds % 60);
    const bool twelve = s.has(Item::Kind::AmPm);
    std::string out;
    for (const Item& it : s.items) {
        switch (it.kind) {
        case Item::Kind::Literal:
            out += it.text;
            break;
        case Item::Kind::AmPm:
            // Without a locale the reader's language names the halves of the
            // day (a Chinese Excel shows 上午, 下午); A/P differs by program.
            if (!s.chineseLocale || it.text != "AM/PM")
                throw NotEvaluated{"AM/PM in the reader's language"};
            out += hour < 12 ? "上午" : "下午";
            break;
        case Item::Kind::Date: {
            const std::string& code = it.text;
            const std::size_t n = code.size();
            if ((code[0] == 'm' || code[0] == 'd') && n >= 3)
                throw NotEvaluated{"month or day names in the reader's language"};
            switch (code[0]) {
            case 'y':
                out += n <= 2 ? twoDigits(y % 100) : std::to_string(y);
                break;
            case 'm':
                out += n == 1 ? std::to_string(mo) : twoDigits(mo);
                break;
            case 'd':
                out += n == 1 ? std::to_string(d) : twoDigits(d);
                break;
            case 'h': {
                int h = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
                out += n == 1 ? std::to_string(h) : twoDigits(h);
                break;
            }
            case 'n':
                out += n == 1 ? std::to_string(minute) : twoDigits(minute);
                break;
            case 's':
                out += n == 1 ? std::to_string(second) : twoDigits(second);
                break;
            default:
                throw NotEvaluated{"date code"};
            }
            break;
        }
        default:
            throw NotEvaluated{"date format with other codes"};
        }
    }
    return out;
}

// Groups a run of digits in threes from the right with commas.
std::string grouped(const std::string& digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string formatDigits(double magnitude, const Section& s, bool negative) {
    std::size_t wholeSlots = 0, fractionSlots = 0;
    std::size_t wholeZeros = 0; // whole placeholders from the first 0 on: the digits always shown
    bool afterPoint = false;
    int percents = 0;
    for (const Item& it : s.items) {
        if (it.kind == Item::Kind::Point) afterPoint = true;
        if (it.kind == Item::Kind::Percent) ++percents;
        if (it.kind != Item::Kind::Digit) continue;
        ++(afterPoint ? fractionSlots : wholeSlots);
        if (!afterPoint && (wholeZeros > 0 || it.text[0] == '0')) ++wholeZeros;
    }
    if (s.has(Item::Kind::TextValue)) throw NotEvaluated{"@ in a number section"};
    if (s.has(Item::Kind::General) && (wholeSlots + fractionSlots > 0 || s.numerals))
        throw NotEvaluated{"General beside digit placeholders"};
    double v = magnitude * std::pow(100.0, percents) / std::pow(1000.0, s.scale);
    if (fractionSlots > 30 || wholeSlots > 30) throw NotEvaluated{"too many digit placeholders"};

    std::string whole, fraction;
    bool zero;
    if (s.has(Item::Kind::General)) {
        whole = generalText(v);
        zero = v == 0;
    } else {
        FixedDigits f = fixedDigits(v, static_cast<int>(fractionSlots));
        whole = std::move(f.whole);
        fraction = std::move(f.fraction);
        zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    }
    if (negative && zero) throw NotEvaluated{"a negative number that rounds to zero"};
    if (s.numerals) {
        if (!s.chineseLocale) throw NotEvaluated{"Chinese numerals without a Chinese locale"};
        if (fractionSlots > 0 || percents > 0 || s.has(Item::Kind::Point) || whole.size() > 16)
            throw NotEvaluated{"Chinese numerals with decimals"};
        whole = chineseNumber(whole, *s.numerals);
    } else if (s.thousands) {
        if (whole.size() < wholeZeros) whole.insert(0, wholeZeros - whole.size(), '0');
        whole = grouped(whole);
    }

    // Whole digits fill the placeholders from the right; the first one
    // takes any digits left over. With Chinese numerals or separators the
    // whole part is one piece, shown at the first placeholder.
    const bool onePiece = s.numerals || s.thousands;
    std::string out = negative ? std::string(s.numerals ? chineseMinus(*s.numerals) : "-") : "";
    std::size_t wholeSeen = 0, fractionSeen = 0;
    std::size_t fractionShown = fraction.size();
    // Trailing zeros shown by # and ? placeholders are dropped (? leaves a space).
    std::vector<char> fractionKinds;
    std::size_t digitIndex = 0;
    for (const Item& it : s.items)
        if (it.kind == Item::Kind::Digit && digitIndex++ >= wholeSlots)
            fractionKinds.push_back(it.text[0]);
    while (fractionShown > 0 && fractionKinds[fractionShown - 1] != '0' &&
           fraction[fractionShown - 1] == '0')
        --fractionShown;
    if (fractionSlots > 0 && fractionShown == 0 &&
        std::none_of(fractionKinds.begin(), fractionKinds.end(), [](char k) { return k == '0'; }))
        throw NotEvaluated{"a decimal point with no decimals shown"};
    afterPoint = false;
    for (const Item& it : s.items) {
        switch (it.kind) {
        case Item::Kind::Literal:
            out += it.text;
            break;
        case Item::Kind::Percent:
            out += '%';
            break;
        case Item::Kind::Point:
            afterPoint = true;
            out += '.';
            break;
        case Item::Kind::General:
            out += whole;
            break;
        case Item::Kind::Digit: {
            const char kind = it.text[0];
            if (afterPoint) {
                if (fractionSeen < fractionShown) out += fraction[fractionSeen];
                else if (kind == '?') out += ' ';
                else if (kind == '0') out += '0';
                ++fractionSeen;
                break;
            }
            const std::size_t fromRight = wholeSlots - 1 - wholeSeen++;
            if (onePiece) {
                if (fromRight + 1 == wholeSlots) out += whole; // at the first placeholder
                break;
            }
            if (fromRight + 1 == wholeSlots && whole.size() > wholeSlots)
                out += whole.substr(0, whole.size() - wholeSlots);
            if (fromRight < whole.size()) out += whole[whole.size() - 1 - fromRight];
            else if (kind == '0') out += '0';
            else if (kind == '?') out += ' ';
            break;
        }
        default:
            throw NotEvaluated{"number format code"};
        }
    }
    return out;
}

} // namespace

std::string formatNumber(double v, std::string_view format) {
    if (!std::isfinite(v)) throw NotEvaluated{"not a finite number"};
    const std::vector<std::string_view> sections = splitSections(format);
    const auto [index, minus] = pickSection(sections, v);
    const Section s = parseSection(sections[index]);
    if (s.hasDate()) {
        if (minus) throw NotEvaluated{"negative date"};
        return formatDate(v, s);
    }
    if (s.items.empty() && sections[index].empty() && sections.size() > 1) return "";
    if (s.items.empty()) return minus ? "-" : "";
    return formatDigits(std::fabs(v), s, minus);
}

std::string formatText(const std::string& text, std::string_view format) {
    const std::vector<std::string_view> sections = splitSections(format);
    std::string_view section;
    if (sections.size() == 4) section = sections[3];
    else if (sections.size() == 1 && sections[0].find('@') != std::string_view::npos) section = sections[0];
    else return text;
    const Section s = parseSection(section);
    std::string out;
    for (const Item& it : s.items) {
        if (it.kind == Item::Kind::Literal) out += it.text;
        else if (it.kind == Item::Kind::TextValue) out += text;
        else throw NotEvaluated{"number codes in the text section"};
    }
    return out;
}

} // namespace lanqi::xls::formula
