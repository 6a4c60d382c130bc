// The ledger's costs: recording a bill as the bill command does (with the
// disk's flush, and on a memory file system where the flush costs nothing),
// and, with 100,000 bills (ten years of a busy station), showing the newest
// bills, one filter keystroke (lines and totals), a month summary, and the
// database's size.
#include "bill_generator.h"
#include "ledger/ledger.h"
#include "platform/utf8_path.h"
#include "tally/tick.h"
#include "workbook/bill_book.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace lanqi::ledger::bench {
namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kShown = 40; // lines a records window shows

// A full tally, as the window holds it when the bill command runs.
void fullTally(TallySheet& sheet) {
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 20; ++i)
            sheet.setText(kBlocks[static_cast<size_t>(b)].count, i, std::to_string(1 + (i + b) % 9));
    recalculateUntilStable(sheet);
}

// Begin and record, as the bill command does around writing the workbook.
void recordBills(benchmark::State& state, const fs::path& parent) {
    const fs::path folder = freshFolder(parent, "lanqi-bench-record");
    BillBook book(folder / "账单明细.xls");
    TallySheet sheet;
    fullTally(sheet);
    for (auto _ : state) {
        book.begin();
        if (!book.record(sheet, "大写：壹拾元整").recorded) state.SkipWithError("not recorded");
    }
    fs::remove_all(folder);
}

void BM_RecordBill(benchmark::State& state) {
    recordBills(state, fs::temp_directory_path());
}
BENCHMARK(BM_RecordBill)->Unit(benchmark::kMillisecond);

// /dev/shm: the same work, the flush to disk aside.
void BM_RecordBillWithoutFlush(benchmark::State& state) {
    recordBills(state, "/dev/shm");
}
BENCHMARK(BM_RecordBillWithoutFlush)->Unit(benchmark::kMillisecond);

void BM_NewestLines(benchmark::State& state) {
    const fs::path& folder = bigLedger();
    for (auto _ : state) {
        auto ledger = Ledger::openExisting(folder);
        benchmark::DoNotOptimize(ledger->lines({}, 0, kShown));
        benchmark::DoNotOptimize(ledger->totals({}));
    }
    state.counters["MB"] = static_cast<double>(
        fs::file_size(folder / platform::pathFromUtf8(kLedgerFile))) / 1e6;
}
BENCHMARK(BM_NewestLines)->Unit(benchmark::kMillisecond);

// One keystroke in the filter: the lines shown and the totals, for a text
// most bills hold, one a tenth hold, and one no bill holds.
void BM_FilterKeystroke(benchmark::State& state) {
    const char* const texts[] = {"检尺", "林海", "黑A·99999x"};
    auto ledger = Ledger::openExisting(bigLedger());
    const Filter filter{"", "", texts[state.range(0)]};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ledger->lines(filter, 0, kShown));
        benchmark::DoNotOptimize(ledger->totals(filter));
    }
}
BENCHMARK(BM_FilterKeystroke)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MonthSummary(benchmark::State& state) {
    auto ledger = Ledger::openExisting(bigLedger());
    for (auto _ : state) benchmark::DoNotOptimize(ledger->summary(GroupBy::Month, {}));
}
BENCHMARK(BM_MonthSummary)->Unit(benchmark::kMillisecond);

// The summaries with no goal of their own, for comparison.
void BM_OtherSummaries(benchmark::State& state) {
    auto ledger = Ledger::openExisting(bigLedger());
    const auto by = static_cast<GroupBy>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ledger->summary(by, {"2025-01-01", "", ""}));
}
BENCHMARK(BM_OtherSummaries)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lanqi::ledger::bench
BENCHMARK_MAIN();
