// One recalculation tick on a full and on an empty sheet.
#include "calc/volume.h"
#include "editing/blanking.h"
#include "tally/sheet.h"
#include "tally/tick.h"

#include <benchmark/benchmark.h>

namespace lanqi {
namespace {

void fillSheet(TallySheet& sheet) {
    const char* bounds[] = {"14", "14", "20", "26", "32", "38"};
    for (int k = 0; k < 6; ++k) {
        sheet.setText(Arr::Text26, k, bounds[k]);
        sheet.setText(Arr::Text30, k, std::to_string(800 + 100 * k));
    }
    for (int b = 0; b < 4; ++b) {
        sheet.setText(Arr::Text25, b, std::to_string(2 + 2 * b));
        for (int i = 0; i < kTallyRows; ++i) {
            sheet.setText(kBlocks[b].diameter, i, std::to_string(6 + 2 * i));
            sheet.setText(kBlocks[b].count, i, std::to_string(1 + (i * 7 + b) % 13));
        }
    }
}

void BM_TickFullSheet(benchmark::State& state) {
    TallySheet sheet;
    attachBlankingRules(sheet);
    fillSheet(sheet);
    Timer1_Timer(sheet);
    for (auto _ : state) Timer1_Timer(sheet);
}
BENCHMARK(BM_TickFullSheet)->Unit(benchmark::kMicrosecond);

// The first tick after typing: every row volume changes once.
void BM_TickAfterEdits(benchmark::State& state) {
    TallySheet sheet;
    attachBlankingRules(sheet);
    fillSheet(sheet);
    bool odd = false;
    for (auto _ : state) {
        state.PauseTiming();
        sheet.setText(Arr::Text25, 0, odd ? "4" : "6");
        sheet.setText(Arr::Text25, 1, odd ? "5" : "3");
        odd = !odd;
        state.ResumeTiming();
        Timer1_Timer(sheet);
    }
}
BENCHMARK(BM_TickAfterEdits)->Unit(benchmark::kMicrosecond);

void BM_TickEmptySheet(benchmark::State& state) {
    TallySheet sheet;
    attachBlankingRules(sheet);
    Timer1_Timer(sheet);
    for (auto _ : state) Timer1_Timer(sheet);
}
BENCHMARK(BM_TickEmptySheet)->Unit(benchmark::kMicrosecond);

void BM_VolumeFormula(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CaiJiJiSuan("30", "9", "6"));
}
BENCHMARK(BM_VolumeFormula);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
