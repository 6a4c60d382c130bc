// The engine's share of a run on the shipped workbook: open it, read every
// cell of the start-up lists and stored fields, write one bill's cells,
// save. The whole cycle and its parts are measured separately.
#include "workbook/cell_map.h"
#include "workbook/xls_spreadsheet.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using namespace cellmap;

fs::path workbookCopy(const char* name) {
    fs::path dir = fs::temp_directory_path() / ("lanqi-engine-bench-" + std::string(name));
    fs::create_directories(dir);
    fs::path copy = dir / "账单明细.xls";
    fs::copy_file(LANQI_SHIPPED_WORKBOOK, copy, fs::copy_options::overwrite_existing);
    return copy;
}

// Reads what the start-up load reads; returns the number of cells read.
int readStartupCells(Workbook& book) {
    Worksheet& store = book.worksheet(kStoreSheet);
    int reads = 0;
    for (const ListRun& list : kStoreLists)
        for (int k = 0; k < list.entries; ++k) {
            ++reads;
            if (store.cell(list.firstRow + k, list.column).empty() && list.stopAtEmpty) break;
        }
    benchmark::DoNotOptimize(store.cell(kFootCaption.row, kFootCaption.column));
    ++reads;
    for (const FieldRun& run : kSavedArea2)
        for (int i = run.first; i <= run.last; ++i, ++reads) {
            Cell c = run.cellOf(i);
            benchmark::DoNotOptimize(store.cell(c.row, c.column));
        }
    return reads;
}

// Writes every bill cell with a value like a real tally's; returns the count.
int writeBillCells(Workbook& book, int round) {
    Worksheet& bill = book.worksheet(kBillSheet);
    int writes = 0;
    auto value = [&](int i) {
        switch ((i + round) % 4) {
        case 0:
            return std::to_string(20 + i % 40);
        case 1:
            return std::to_string(i % 9 + 1);
        case 2:
            return "4.9" + std::to_string(i % 10);
        default:
            return std::string();
        }
    };
    for (const FieldRun& run : kBillFields)
        for (int i = run.first; i <= run.last; ++i) {
            Cell c = run.cellOf(i);
            bill.setCell(c.row, c.column, value(writes++));
        }
    for (const ListCell& l : kBillLists)
        bill.setCell(l.cell.row, l.cell.column, "检尺员甲"), ++writes;
    bill.setCell(kBillNameSlot.row, kBillNameSlot.column, "某某木业有限公司"), ++writes;
    bill.setCell(kBillDetailSlot.row, kBillDetailSlot.column, "13800000000"), ++writes;
    for (const CaptionCell& c : kBillCaptions)
        bill.setCell(c.cell.row, c.cell.column, "2026年12月08日 "), ++writes;
    return writes;
}

XlsApplication headless() {
    return XlsApplication([](const fs::path&) {});
}

void BM_OpenReadWriteSave(benchmark::State& state) {
    fs::path path = workbookCopy("cycle");
    XlsApplication app = headless();
    int round = 0, reads = 0, writes = 0;
    for (auto _ : state) {
        auto book = app.open(path);
        reads = readStartupCells(*book);
        writes = writeBillCells(*book, ++round);
        book->save();
    }
    state.counters["cells_read"] = reads;
    state.counters["cells_written"] = writes;
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_OpenReadWriteSave)->Unit(benchmark::kMicrosecond);

void BM_Open(benchmark::State& state) {
    fs::path path = workbookCopy("open");
    XlsApplication app = headless();
    for (auto _ : state) benchmark::DoNotOptimize(app.open(path));
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

void BM_ReadStartupCells(benchmark::State& state) {
    fs::path path = workbookCopy("read");
    XlsApplication app = headless();
    auto book = app.open(path);
    for (auto _ : state) benchmark::DoNotOptimize(readStartupCells(*book));
}
BENCHMARK(BM_ReadStartupCells)->Unit(benchmark::kMicrosecond);

void BM_WriteBillCells(benchmark::State& state) {
    fs::path path = workbookCopy("write");
    XlsApplication app = headless();
    auto book = app.open(path);
    int round = 0;
    for (auto _ : state) benchmark::DoNotOptimize(writeBillCells(*book, ++round));
}
BENCHMARK(BM_WriteBillCells)->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State& state) {
    fs::path path = workbookCopy("save");
    XlsApplication app = headless();
    auto book = app.open(path);
    int round = 0;
    for (auto _ : state) {
        book->worksheet(kBillSheet).setCell(1, 1, std::to_string(++round)); // so there is a change
        book->save();
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
