#include "ledger/record_text.h"

#include "ledger/record_fields.h"
#include "ledger/text_fields.h"

#include <charconv>
#include <iterator>

namespace lanqi::ledger {

namespace {

// A record line: a mark naming the layout, the text fields, the lengths, the
// numbers, the packed tally rows, then the six grading rows' eight fields.
constexpr std::string_view kLineMark = "bill1";
constexpr size_t kGradingFields = 8;
constexpr size_t kLineFields = 1 + std::size(kTextFields) + std::size(kLengthFields) +
                               std::size(kNumberFields) + 1 + 6 * kGradingFields;

std::optional<std::int64_t> integerOf(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::string tallyText(const std::vector<TallyLine>& rows) {
    std::string text;
    for (const TallyLine& r : rows) {
        if (!text.empty()) text += '\n';
        text += joinFields({std::to_string(r.block), std::to_string(r.row), r.diameter, r.count,
                            r.volume});
    }
    return text;
}

std::vector<TallyLine> tallyLines(std::string_view text) {
    std::vector<TallyLine> rows;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::vector<std::string> f = splitFields(text.substr(0, end));
        if (f.size() == 5) {
            TallyLine r;
            r.block = static_cast<int>(integerOf(f[0]).value_or(0));
            r.row = static_cast<int>(integerOf(f[1]).value_or(0));
            r.diameter = f[2];
            r.count = f[3];
            r.volume = f[4];
            rows.push_back(std::move(r));
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return rows;
}

std::string recordLine(const BillRecord& bill) {
    std::vector<std::string> f{std::string(kLineMark)};
    for (const TextField& t : kTextFields) f.push_back(bill.*t.member);
    for (const std::string& length : bill.lengths) f.push_back(length);
    for (const NumberField& n : kNumberFields) f.push_back(std::to_string(bill.*n.member));
    f.push_back(tallyText(bill.rows));
    for (const GradingLine& g : bill.grading) {
        for (const std::string* s : {&g.lower, &g.upper, &g.price, &g.pieces, &g.volume, &g.amount})
            f.push_back(*s);
        f.push_back(std::to_string(g.volumeUnits));
        f.push_back(std::to_string(g.amountFen));
    }
    return joinFields(f);
}

std::optional<BillRecord> recordOfLine(std::string_view line) {
    const std::vector<std::string> f = splitFields(line);
    if (f.size() != kLineFields || f[0] != kLineMark) return std::nullopt;
    BillRecord bill;
    size_t at = 1;
    for (const TextField& t : kTextFields) bill.*t.member = f[at++];
    for (std::string& length : bill.lengths) length = f[at++];
    for (const NumberField& n : kNumberFields) {
        const auto value = integerOf(f[at++]);
        if (!value) return std::nullopt;
        bill.*n.member = *value;
    }
    bill.rows = tallyLines(f[at++]);
    for (GradingLine& g : bill.grading) {
        for (std::string* s : {&g.lower, &g.upper, &g.price, &g.pieces, &g.volume, &g.amount})
            *s = f[at++];
        const auto units = integerOf(f[at++]);
        const auto fen = integerOf(f[at++]);
        if (!units || !fen) return std::nullopt;
        g.volumeUnits = *units;
        g.amountFen = *fen;
    }
    return bill;
}

} // namespace lanqi::ledger
