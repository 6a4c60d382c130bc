// The records window's list over a ledger of 100,000 bills (ten years of a
// busy station), as the window uses it: opened with the newest lines drawn,
// and one filter keystroke with the lines drawn again. The goals: opening
// ≤ 100 ms, a keystroke ≤ 50 ms.
#include "bench/ledger/bill_generator.h"
#include "program/records.h"

#include <benchmark/benchmark.h>

namespace lanqi {
namespace {

constexpr std::int64_t kShownLines = 30; // the lines a records window draws

// What the window asks for once the list changed: every cell of the lines it shows.
void drawShown(RecordsList& list) {
    for (std::int64_t row = 0; row < std::min(kShownLines, list.lineCount()); ++row)
        for (const RecordColumnLayout& c : kRecordColumns)
            benchmark::DoNotOptimize(list.cell(row, c.column));
    benchmark::DoNotOptimize(list.totalsText());
}

void BM_OpenRecords(benchmark::State& state) {
    const auto& folder = ledger::bench::bigLedger();
    for (auto _ : state) {
        const auto ledger = ledger::Ledger::open(folder);
        RecordsList list(*ledger, {}, {});
        drawShown(list);
        if (list.lineCount() != ledger::bench::kBills) state.SkipWithError("the bills not read");
    }
}
BENCHMARK(BM_OpenRecords)->Unit(benchmark::kMillisecond);

// Typing a buyer's name one character at a time, then taking it back: every
// keystroke a new filter with its lines drawn.
void BM_FilterKeystroke(benchmark::State& state) {
    const auto ledger = ledger::Ledger::open(ledger::bench::bigLedger());
    RecordsList list(*ledger, {}, {});
    const std::string typed[] = {"林", "林海", "林海木", "林海木业", "林海木", "林海", "林", ""};
    std::size_t at = 0;
    for (auto _ : state) {
        list.filterTyped(typed[at++ % std::size(typed)]);
        drawShown(list);
        if (list.lineCount() == 0) state.SkipWithError("no bill found");
    }
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lanqi
BENCHMARK_MAIN();
