#pragma once
// A statement of bills for a buyer or a period: a copy of the shipped
// template 对账单.xls with the period, the filter, the date made and the
// totals at its head, one row a bill, and on a second sheet the totals by
// day, by buyer and by diameter range. Every figure is written from the
// ledger's exact sums; the amount in words is the template's formula,
// computed on save.
#include "ledger/ledger.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi {

inline constexpr std::string_view kStatementTemplate = "对账单.xls";

struct Statement {
    ledger::Filter filter;
    std::string madeOn;                  // yyyy-MM-dd
    std::vector<ledger::BillLine> bills; // as listed, newest first
    ledger::Totals totals;
    std::vector<ledger::SummaryLine> byDay, byBuyer, byRange;
};

// The bills the filter lets through, their totals and their totals by day,
// buyer and diameter range, as the ledger gives them. Throws LedgerError.
Statement statementOf(ledger::Ledger& ledger, const ledger::Filter& filter, std::string madeOn);

// The period as the statement's head shows it: "2026-12-01 至 2026-12-31",
// "2026-12-01 起", "至 2026-12-31" or "全部".
std::string statementPeriod(const ledger::Filter& filter);

// Where a statement of that filter is kept in the folder: 对账单 and the period.
std::filesystem::path statementPath(const std::filesystem::path& folder,
                                    const ledger::Filter& filter);

// Fills a copy of the template and saves it as `out`, replacing a statement
// there unless another program has it open. Throws WorkbookError (a missing
// or damaged template, too many bills for one sheet, a failed save); `out`
// is then as it was.
void writeStatement(const Statement& statement, const std::filesystem::path& templateFile,
                    const std::filesystem::path& out);

// The statement of the bills the filter lets through, made today and saved
// in `folder` under its period's name (statementPath); returns where. Throws
// LedgerError or WorkbookError.
std::filesystem::path writeStatementIn(ledger::Ledger& ledger, const ledger::Filter& filter,
                                       const std::filesystem::path& templateFile,
                                       const std::filesystem::path& folder);

} // namespace lanqi
