// The statement workbook: a month of a busy station (about 840 bills, 31
// days, ten buyers, six ranges) and a year (about 9,900 bills) written from
// the template and saved.
#include "workbook/statement.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

ledger::SummaryLine group(std::string key, std::int64_t bills) {
    return {std::move(key), {bills, bills * 150, bills * 95000, bills * 11000000}};
}

Statement statementOf(int bills, int days) {
    Statement s;
    s.filter = {"2020-01-01", "2020-12-31", ""};
    s.madeOn = "2021-01-02";
    for (int n = 0; n < bills; ++n) {
        char day[16];
        std::snprintf(day, sizeof day, "2020%02d%02d", 1 + n / 27 / 28 % 12, 1 + n / 27 % 28);
        s.bills.push_back({n, std::string(day) + "-" + std::to_string(100 + n % 27),
                           "2020-01-01 08:00:00", "林海木业有限公司", "黑A·35812", "落叶松", 150,
                           95000 + n, 11000000 + n, "", n % 50 == 0});
    }
    s.totals = {bills, bills * 150, bills * 95000, bills * 11000000};
    for (int d = 0; d < days; ++d) s.byDay.push_back(group("2020-01-" + std::to_string(d), 27));
    for (int b = 0; b < 10; ++b)
        s.byBuyer.push_back(group("购货商" + std::to_string(b), bills / 10));
    for (const char* range : {"12", "14-18", "20-24", "26-30", "32-36", "38"})
        s.byRange.push_back(group(range, bills));
    return s;
}

void writeOne(benchmark::State& state, int bills, int days) {
    const fs::path dir = fs::temp_directory_path() / "lanqi-statement-bench";
    fs::create_directories(dir);
    const Statement s = statementOf(bills, days);
    for (auto _ : state) writeStatement(s, LANQI_STATEMENT_TEMPLATE, dir / "对账单.xls");
    fs::remove_all(dir);
}

void BM_MonthStatement(benchmark::State& state) {
    writeOne(state, 840, 31);
}
BENCHMARK(BM_MonthStatement)->Unit(benchmark::kMillisecond);

void BM_YearStatement(benchmark::State& state) {
    writeOne(state, 9900, 366);
}
BENCHMARK(BM_YearStatement)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
