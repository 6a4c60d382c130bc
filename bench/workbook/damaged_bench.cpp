// Opening a damaged workbook at start-up: a run of zeros inside a sheet, as
// a damaged disk leaves a file, is read once whatever its length.
#include "tests/xls/biff_builder.h"
#include "workbook/xls_spreadsheet.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

// 账单明细.xls with state.range(0) bytes of zeros (empty records of id 0)
// between the bill sheet's cells and the rest of the sheet.
fs::path zeroRunWorkbook(std::size_t zeros) {
    test::BookSpec plan;
    plan.sheets = {{"原木一", std::vector<xls::RawRecord>(zeros / 4, xls::RawRecord{0, {}}), {}}};
    const xls::Bytes file = test::buildFile(plan);
    fs::path dir = fs::temp_directory_path() / "lanqi-engine-bench-zero-run";
    fs::create_directories(dir);
    fs::path path = dir / "账单明细.xls";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return path;
}

void BM_OpenWithZeroRun(benchmark::State& state) {
    fs::path path = zeroRunWorkbook(static_cast<std::size_t>(state.range(0)));
    XlsApplication app([](const fs::path&) {});
    for (auto _ : state) benchmark::DoNotOptimize(app.open(path));
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_OpenWithZeroRun)->Arg(64 << 10)->Arg(512 << 10)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
