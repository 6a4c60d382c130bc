// The program's three uses of the shipped workbook: the start-up load, one
// bill export (without showing it) and the save before exit.
#include "editing/blanking.h"
#include "tally/tick.h"
#include "workbook/bill_export.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"
#include "workbook/xls_spreadsheet.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

// A copy of the shipped workbook in a folder of its own.
fs::path workbookCopy(const char* name) {
    fs::path dir = fs::temp_directory_path() / ("lanqi-bench-" + std::string(name));
    fs::create_directories(dir);
    fs::path copy = dir / "账单明细.xls";
    fs::copy_file(LANQI_SHIPPED_WORKBOOK, copy, fs::copy_options::overwrite_existing);
    return copy;
}

void fullTally(TallySheet& sheet) {
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < kTallyRows; ++i)
            sheet.setText(kBlocks[b].count, i, std::to_string(1 + (i + b) % 9));
    Timer1_Timer(sheet);
    Timer1_Timer(sheet);
}

XlsApplication headless() {
    return XlsApplication([](const fs::path&) {});
}

// A sheet as the window has it after the start-up load.
std::unique_ptr<TallySheet> loadedSheet(XlsApplication& app, const fs::path& path) {
    auto sheet = std::make_unique<TallySheet>();
    attachBlankingRules(*sheet);
    loadFromWorkbook(*sheet, app, path);
    return sheet;
}

void BM_StartupLoad(benchmark::State& state) {
    fs::path path = workbookCopy("load");
    XlsApplication app = headless();
    for (auto _ : state) benchmark::DoNotOptimize(loadedSheet(app, path));
}
BENCHMARK(BM_StartupLoad)->Unit(benchmark::kMillisecond);

void BM_BillExport(benchmark::State& state) {
    fs::path path = workbookCopy("bill");
    XlsApplication app = headless();
    std::unique_ptr<TallySheet> sheet = loadedSheet(app, path);
    fullTally(*sheet);
    for (auto _ : state) writeBill(*sheet, app, path);
}
BENCHMARK(BM_BillExport)->Unit(benchmark::kMillisecond);

void BM_SaveBeforeExit(benchmark::State& state) {
    fs::path path = workbookCopy("save");
    XlsApplication app = headless();
    std::unique_ptr<TallySheet> sheet = loadedSheet(app, path);
    for (auto _ : state) storeSettings(*sheet, app, path);
}
BENCHMARK(BM_SaveBeforeExit)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
