// The statement workbook as LibreOffice, POI and xlrd read it: the same value
// in every cell, texts that look like numbers kept as texts, the totals equal
// to the sums of the rows, and the amount in words computed.
#include "tests/xls/peer_tools.h"
#include "workbook/statement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using ledger::BillLine;
using ledger::SummaryLine;
using ledger::Totals;

// Three bills of December: one replacing another, a tiny one and a huge one,
// texts that a spreadsheet would take for numbers.
Statement december() {
    Statement s;
    s.filter = {"2026-12-01", "2026-12-31", "林"};
    s.madeOn = "2026-12-31";
    s.bills = {
        {3, "20261203-002", "2026-12-03 09:15:00", "林海木业", "黑A·35812", "落叶松", 72, 168140,
         2197930, "20261203-001", false},
        {2, "20261203-001", "2026-12-03 08:00:00", "林海木业", "", "樟子松", 1, 1, 1, "", true},
        {1, "20261201-001", "2026-12-01 17:59:59", "0453林业", "007", "12", 1000000, 99999999,
         12345678901, "", false},
    };
    s.totals = {3, 1000073, 100168140, 12347876832};
    s.byDay = {{"2026-12-01", {1, 1000000, 99999999, 12345678901}},
               {"2026-12-03", {2, 73, 168141, 2197931}}};
    s.byBuyer = {{"0453林业", {1, 1000000, 99999999, 12345678901}},
                 {"林海木业", {2, 73, 168141, 2197931}}};
    s.byRange = {{"12", {2, 40, 60000000, 7000000000}},
                 {"14-18", {1, 33, 40000000, 5000000000}},
                 {"38", {2, 1000000, 168140, 347876832}}};
    return s;
}

// A number cell's value in units of 10^-places.
long long units(const std::map<std::string, std::string>& cells, const std::string& key,
                int places) {
    auto it = cells.find(key);
    if (it == cells.end() || !it->second.starts_with("n|")) {
        ADD_FAILURE() << key << " holds no number";
        return 0;
    }
    return std::llround(std::stod(it->second.substr(2)) * std::pow(10.0, places));
}

std::string key(const char* sheet, int row, int column) {
    return std::string(sheet) + "|" + std::to_string(row) + "|" + std::to_string(column);
}

TEST(Statement, PeersReadTheSameFiguresAndTheTotalsAddUp) {
    if (!test::haveLibreOffice()) LANQI_PEER_MISSING("LibreOffice (soffice)");
    if (!test::haveXlrd()) LANQI_PEER_MISSING("python3-xlrd");
    if (!test::havePoi()) LANQI_PEER_MISSING("POI (libapache-poi-java) or a JDK");
    const fs::path dir = test::freshDirectory("lanqi-statement");
    const Statement s = december();
    const fs::path file = statementPath(dir, s.filter);
    EXPECT_EQ(file.filename(), fs::path("对账单 2026-12-01 至 2026-12-31.xls"));
    writeStatement(s, LANQI_STATEMENT_TEMPLATE, file);

    const fs::path computed = dir / "computed";
    fs::create_directories(computed);
    test::convertWithLibreOffice(file, "xlsx", computed);
    auto values = test::shownValues({file, computed / file.filename().replace_extension(".xlsx")});
    const auto& xlrd = values[0];
    EXPECT_EQ(xlrd, values[1]); // LibreOffice, computing every formula itself
    std::size_t compared = 0;
    for (const auto& [at, line] : test::poiCells(file)) {
        if (line.starts_with("blank") || test::poiShown(line) == "s|") continue;
        ++compared;
        auto x = xlrd.find(at);
        EXPECT_EQ(x == xlrd.end() ? "(none)" : x->second, test::poiShown(line)) << at;
    }
    EXPECT_EQ(compared, xlrd.size());

    const char* bills = "对账单";
    EXPECT_EQ(xlrd.at(key(bills, 2, 2)), "s|2026-12-01 至 2026-12-31");
    EXPECT_EQ(xlrd.at(key(bills, 2, 5)), "s|林");
    EXPECT_EQ(xlrd.at(key(bills, 4, 2)), "s|大写：壹亿贰仟叁佰肆拾柒万捌仟柒佰陆拾捌元叁角贰分");
    EXPECT_EQ(xlrd.at(key(bills, 6, 9)), "s|替代 20261203-001");
    EXPECT_EQ(xlrd.at(key(bills, 7, 9)), "s|已被替代");
    EXPECT_EQ(xlrd.at(key(bills, 8, 4)), "s|007"); // as typed, not the number 7
    EXPECT_EQ(xlrd.at(key(bills, 8, 5)), "s|12");

    // The head's totals are the sums of the rows, to the fen and 0.0001 m³.
    EXPECT_EQ(units(xlrd, key(bills, 3, 2), 0), static_cast<long long>(s.bills.size()));
    struct Sum {
        int column, places;
    };
    for (Sum sum : {Sum{6, 0}, Sum{7, 4}, Sum{8, 2}}) {
        long long rows = 0;
        for (int r = 6; r < 6 + static_cast<int>(s.bills.size()); ++r)
            rows += units(xlrd, key(bills, r, sum.column), sum.places);
        EXPECT_EQ(units(xlrd, key(bills, 3, sum.column), sum.places), rows) << sum.column;
    }
    // So are the day's and the buyer's groups, each against the head.
    for (int first : {1, 7}) {
        for (Sum sum : {Sum{1, 0}, Sum{2, 0}, Sum{3, 4}, Sum{4, 2}}) {
            long long groups = 0;
            for (int r = 4; r < 6; ++r)
                groups += units(xlrd, key("汇总", r, first + sum.column), sum.places);
            const int head = sum.column == 1 ? 2 : sum.column + 4;
            EXPECT_EQ(units(xlrd, key(bills, 3, head), sum.places), groups) << first << sum.column;
        }
    }
    EXPECT_EQ(xlrd.at(key("汇总", 4, 13)), "s|12");
    fs::remove_all(dir);
}

TEST(Statement, NamedForItsPeriod) {
    struct Case {
        ledger::Filter filter;
        const char* name;
    };
    const Case cases[] = {
        {{"2026-12-01", "2026-12-31", ""}, "对账单 2026-12-01 至 2026-12-31.xls"},
        {{"2026-12-01", "", "林海"}, "对账单 2026-12-01 起.xls"},
        {{"", "2026-12-31", ""}, "对账单 至 2026-12-31.xls"},
        {{"", "", ""}, "对账单 全部.xls"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statementPath("d", c.filter), fs::path("d") / fs::path(c.name));
}

} // namespace
} // namespace lanqi
