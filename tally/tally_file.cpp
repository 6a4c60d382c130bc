#include "tally/tally_file.h"

#include "calc/numeric_text.h"

#include <charconv>
#include <chrono>
#include <optional>
#include <vector>

namespace lanqi {

namespace {

// Every comma separates; numbers typed in full-width forms become ASCII.
std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(asciiNumberForms(line.substr(start, comma - start)));
    fields.push_back(asciiNumberForms(line.substr(start)));
    return fields;
}

// At most about 40 characters of a text for a message, control characters
// escaped, never cutting a UTF-8 character in two.
std::string quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    std::string out = "\"";
    size_t characters = 0, i = 0;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && characters++ == kShown) break;
        if (c < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + (i < text.size() ? "…\"" : "\"");
}

int wholeNumber(const std::string& text, int low, int high, int line, const char* what) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw TallyFileError(line, std::string(what) + " 应为 " + std::to_string(low) + " 到 " +
                                       std::to_string(high) + " 的整数，而不是 " + quoted(text));
    return value;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The day of a "date,YYYY-MM-DD" line; nothing for any other line.
std::optional<FiledDate> filedDate(std::string text, int line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    constexpr std::string_view kKeyword = "date,";
    if (!text.starts_with(kKeyword)) return std::nullopt;
    const std::string value = text.substr(kKeyword.size());
    const auto bad = [&] {
        return TallyFileError(line, "date 应写成 年-月-日，如 2026-12-08，而不是 " + quoted(value));
    };
    if (value.size() != 10 || value[4] != '-' || value[7] != '-') throw bad();
    const FiledDate d{wholeNumber(value.substr(0, 4), 1, 9999, line, "年"),
                      wholeNumber(value.substr(5, 2), 1, 12, line, "月"),
                      wholeNumber(value.substr(8, 2), 1, 31, line, "日")};
    using namespace std::chrono;
    if (!year_month_day{year{d.year}, month{static_cast<unsigned>(d.month)},
                        day{static_cast<unsigned>(d.day)}}
             .ok())
        throw bad();
    return d;
}

// A field's text, or a list's text when `combo` is set.
struct Entry {
    FieldId field;
    std::string text;
    std::optional<Combo> combo = std::nullopt;
    bool isText = false;   // a text of the rest of the line
    bool nextLine = false; // added to the field's text after a line break
};

struct TextEntry {
    std::string_view keyword;
    std::optional<Combo> combo; // the remarks field when none
    bool nextLine = false;
};
constexpr TextEntry kTextEntries[] = {
    {"remarks", std::nullopt},   {"remarks+", std::nullopt, true}, {"buyer", Combo::Combo6},
    {"vehicle", Combo::Combo13}, {"scaler", Combo::Combo12},       {"species", Combo::Combo14},
    {"party", Combo::Combo4},    {"detail", Combo::Combo2},
};

// The fields one line sets.
std::vector<Entry> parseLine(const std::string& raw, int line) {
    std::string text = raw;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.empty() || text[0] == '#') return {};
    std::string keyword = text.substr(0, text.find(','));
    for (const TextEntry& t : kTextEntries) {
        if (keyword != t.keyword) continue;
        if (text.size() <= keyword.size()) throw TallyFileError(line, keyword + " 后缺少内容");
        return {{{Arr::Text13, 0}, text.substr(keyword.size() + 1), t.combo, true, t.nextLine}};
    }
    struct Simple {
        const char* keyword;
        Arr arr;
        int first, last, offset;
    };
    static const Simple simple[] = {{"length", Arr::Text25, 1, 4, -1},
                                    {"bound", Arr::Text26, 0, 5, 0},
                                    {"upper", Arr::Text27, 1, 4, 0},
                                    {"price", Arr::Text30, 0, 5, 0}};
    std::vector<std::string> f = splitFields(text);
    for (const Simple& s : simple) {
        if (keyword != s.keyword) continue;
        if (f.size() != 3)
            throw TallyFileError(line, keyword + " 行应有 3 项：" + keyword + ",编号,数值");
        int k = wholeNumber(f[1], s.first, s.last, line, "编号");
        return {{{s.arr, k + s.offset}, f[2]}};
    }
    if (keyword == "row") {
        if (f.size() != 5) throw TallyFileError(line, "row 行应有 5 项：row,块号,行号,径级,件数");
        const Block& b = kBlocks[wholeNumber(f[1], 1, 4, line, "块号") - 1];
        int row = wholeNumber(f[2], 1, kTallyRows, line, "行号") - 1;
        return {{{b.diameter, row}, f[3]}, {{b.count, row}, f[4]}};
    }
    throw TallyFileError(line,
                         "不认识的项目 " + quoted(keyword) +
                             "（应为 length、bound、upper、price、row、remarks、remarks+、buyer、"
                             "vehicle、party、detail、scaler、species 或 date）");
}

} // namespace

TallyFileError::TallyFileError(int line, const std::string& what)
    : std::runtime_error("第 " + std::to_string(line) + " 行：" + what), line_(line) {}

TallyFile readTallyFile(std::istream& in, TallySheet& sheet) {
    std::vector<Entry> entries;
    TallyFile file;
    std::string raw;
    int line = 1;
    for (; std::getline(in, raw); ++line) {
        if (line == 1 && raw.starts_with(kByteOrderMark)) raw.erase(0, kByteOrderMark.size());
        if (auto date = filedDate(raw, line)) {
            file.date = date;
            continue;
        }
        for (Entry& e : parseLine(raw, line)) {
            if (e.isText) file.texts.push_back({line, e.field, e.combo});
            entries.push_back(std::move(e));
        }
    }
    if (in.bad()) throw TallyFileError(line, "读取文件时出错，码单没有读完");
    for (const Entry& e : entries) {
        if (e.combo)
            sheet.setComboText(*e.combo, e.text);
        else if (e.nextLine)
            sheet.setText(e.field, sheet.text(e.field) + "\n" + e.text);
        else
            sheet.setText(e.field, e.text);
    }
    return file;
}

} // namespace lanqi
