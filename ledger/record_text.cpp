#include "ledger/record_text.h"

#include "ledger/record_fields.h"
#include "ledger/text_fields.h"

#include <charconv>
#include <cstdio>
#include <random>
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

// Tally rows packed: one line a block, holding the block's rows from row 1 to
// its last kept row, three fields each (diameter, count, volume); a row not
// kept has three empty fields. Blocks 1–4, rows 1–20.
constexpr int kBlocks = 4, kRows = 20, kRowFields = 3;

std::string tallyText(const std::vector<TallyLine>& rows) {
    std::vector<std::vector<std::string>> blocks(kBlocks);
    for (const TallyLine& r : rows) {
        if (r.block < 1 || r.block > kBlocks || r.row < 1 || r.row > kRows) continue;
        auto& fields = blocks[static_cast<size_t>(r.block - 1)];
        const auto at = static_cast<size_t>((r.row - 1) * kRowFields);
        if (fields.size() < at + kRowFields) fields.resize(at + kRowFields);
        fields[at] = r.diameter;
        fields[at + 1] = r.count;
        fields[at + 2] = r.volume;
    }
    std::string text;
    for (size_t b = 0; b < blocks.size(); ++b) {
        if (b > 0) text += '\n';
        text += joinFields(blocks[b]);
    }
    return text;
}

std::vector<TallyLine> tallyLines(std::string_view text) {
    std::vector<TallyLine> rows;
    for (int block = 1; block <= kBlocks && !text.empty(); ++block) {
        const size_t end = text.find('\n');
        const std::vector<std::string> f = splitFields(text.substr(0, end));
        for (size_t at = 0; at + kRowFields <= f.size(); at += kRowFields) {
            if (f[at].empty() && f[at + 1].empty() && f[at + 2].empty()) continue;
            rows.push_back({block, static_cast<int>(at / kRowFields) + 1, f[at], f[at + 1],
                            f[at + 2]});
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

// 64 random bits from the system, in hexadecimal; drawn afresh each time,
// so no two processes share a sequence.
std::string newKey() {
    std::random_device device;
    const std::uint64_t bits = static_cast<std::uint64_t>(device()) << 32 | device();
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

} // namespace lanqi::ledger
