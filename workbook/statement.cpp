#include "workbook/statement.h"

#include "editing/date_caption.h"
#include "ledger/shown_text.h"
#include "platform/utf8_path.h"
#include "workbook/busy_lock.h"
#include "workbook/xls_spreadsheet.h"

#include <lanqi/xls/document.h>

#include <array>
#include <span>

namespace lanqi {

namespace {

// Sheet 对账单 (rows and columns from 1):
//
//   row 2   B period      E filter       H date made
//   row 3   B bills                      F pieces  G volume  H amount
//   row 4   B the amount H3 in words (the template's formula)
//   row 5   column heads
//   row 6…  A serial  B time  C buyer  D vehicle  E species  F pieces  G volume  H amount  I note
//
// Sheet 汇总, from row 4: by day in A–E, by buyer in G–K, by diameter range
// in M–Q, each group as key, bills, pieces, volume, amount.
constexpr std::string_view kBillsSheet = "对账单";
constexpr std::string_view kSummarySheet = "汇总";
struct At {
    int row, column;
};
constexpr At kPeriod{2, 2}, kFilter{2, 5}, kMadeOn{2, 8};
constexpr At kTotalBills{3, 2}, kTotalPieces{3, 6}, kTotalVolume{3, 7}, kTotalAmount{3, 8};
constexpr int kFirstBillRow = 6;
constexpr int kFirstSummaryRow = 4;
constexpr std::array<int, 3> kSummaryColumns = {1, 7, 13}; // by day, by buyer, by range
constexpr int kLastRow = static_cast<int>(xls::kMaxRows);

void put(Worksheet& sheet, At at, std::string_view text) {
    sheet.setCell(at.row, at.column, text);
}

// The texts of one row from its first column on.
void putRow(Worksheet& sheet, int row, int column, std::span<const std::string> texts) {
    for (const std::string& text : texts) sheet.setCell(row, column++, text);
}

void checkRoom(std::size_t lines, int firstRow, const std::filesystem::path& out) {
    const auto room = static_cast<std::size_t>(kLastRow - firstRow + 1);
    if (lines > room)
        throw WorkbookError(WorkbookError::Kind::WriteRefused,
                            "无法写入" + platform::utf8Text(out.filename()) +
                                "：一张对账单最多列出 " + std::to_string(room) + " 行，所选的有 " +
                                std::to_string(lines) + " 行；请缩小日期范围");
}

void writeBills(Worksheet& sheet, const Statement& s) {
    put(sheet, kPeriod, statementPeriod(s.filter));
    put(sheet, kFilter, s.filter.text.empty() ? "无" : s.filter.text);
    put(sheet, kMadeOn, s.madeOn);
    put(sheet, kTotalBills, std::to_string(s.totals.bills));
    put(sheet, kTotalPieces, std::to_string(s.totals.pieces));
    put(sheet, kTotalVolume, ledger::volumeText(s.totals.volume));
    put(sheet, kTotalAmount, ledger::amountText(s.totals.amount));
    int row = kFirstBillRow;
    for (const ledger::BillLine& b : s.bills) {
        const std::string texts[] = {b.serial,
                                     b.localTime,
                                     b.buyer,
                                     b.vehicle,
                                     b.species,
                                     std::to_string(b.pieces),
                                     ledger::volumeText(b.volume),
                                     ledger::amountText(b.amount),
                                     ledger::replacementNote(b)};
        putRow(sheet, row++, 1, texts);
    }
}

void writeSummaries(Worksheet& sheet, const Statement& s) {
    const std::array<const std::vector<ledger::SummaryLine>*, 3> groups = {&s.byDay, &s.byBuyer,
                                                                           &s.byRange};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        int row = kFirstSummaryRow;
        for (const ledger::SummaryLine& line : *groups[g]) {
            const ledger::Totals& t = line.totals;
            const std::string texts[] = {line.key, std::to_string(t.bills),
                                         std::to_string(t.pieces), ledger::volumeText(t.volume),
                                         ledger::amountText(t.amount)};
            putRow(sheet, row++, kSummaryColumns[g], texts);
        }
    }
}

} // namespace

Statement statementOf(ledger::Ledger& ledger, const ledger::Filter& filter, std::string madeOn) {
    Statement s;
    // A statement holds the bills in force: a load reopened and corrected
    // shows once, as its last bill.
    s.filter = filter;
    s.filter.inForce = true;
    s.madeOn = std::move(madeOn);
    s.totals = ledger.totals(s.filter);
    s.bills = ledger.lines(s.filter, 0, s.totals.lines);
    s.byDay = ledger.summary(ledger::GroupBy::Day, s.filter);
    s.byBuyer = ledger.summary(ledger::GroupBy::Buyer, s.filter);
    s.byRange = ledger.summary(ledger::GroupBy::Range, s.filter);
    return s;
}

std::string statementPeriod(const ledger::Filter& filter) {
    if (!filter.from.empty() && !filter.to.empty()) return filter.from + " 至 " + filter.to;
    if (!filter.from.empty()) return filter.from + " 起";
    if (!filter.to.empty()) return "至 " + filter.to;
    return "全部";
}

std::filesystem::path statementPath(const std::filesystem::path& folder,
                                    const ledger::Filter& filter) {
    return folder / platform::pathFromUtf8("对账单 " + statementPeriod(filter) + ".xls");
}

void writeStatement(const Statement& s, const std::filesystem::path& templateFile,
                    const std::filesystem::path& out) {
    checkRoom(s.bills.size(), kFirstBillRow, out);
    for (const auto* group : {&s.byDay, &s.byBuyer, &s.byRange})
        checkRoom(group->size(), kFirstSummaryRow, out);
    requireNotOpenElsewhere(out);
    std::unique_ptr<Workbook> book = openXlsCopy(templateFile, out);
    writeBills(book->worksheet(kBillsSheet), s);
    writeSummaries(book->worksheet(kSummarySheet), s);
    book->save();
}

std::filesystem::path writeStatementIn(ledger::Ledger& ledger, const ledger::Filter& filter,
                                       const std::filesystem::path& templateFile,
                                       const std::filesystem::path& folder) {
    const std::filesystem::path out = statementPath(folder, filter);
    writeStatement(statementOf(ledger, filter, todayDate()), templateFile, out);
    return out;
}

} // namespace lanqi
