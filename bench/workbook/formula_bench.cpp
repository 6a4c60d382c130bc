// Saving a bill sheet that carries a few hundred formulas over the bill's
// cells: each save computes every formula that reads a written cell.
#include "tests/xls/biff_builder.h"

#include <lanqi/xls/document.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace lanqi {
namespace {

using test::le16;
using test::operator+;
using xls::Bytes;

Bytes ref(std::uint16_t row, std::uint16_t col) {
    return Bytes{0x44} + le16(row) + le16(col); // ptgRefV
}
Bytes area(std::uint16_t r1, std::uint16_t r2, std::uint16_t c1, std::uint16_t c2) {
    return Bytes{0x25} + le16(r1) + le16(r2) + le16(c1) + le16(c2); // ptgArea
}
Bytes call(std::uint8_t args, std::uint16_t id) {
    return Bytes{0x42, args} + le16(id); // ptgFuncVarV
}

// Rows 6-25 as on the bill: per row (columns N-AC) sixteen formulas over
// A-L, and column AE totals over them: 336 formulas.
Bytes billWithFormulas() {
    std::vector<xls::RawRecord> cells;
    for (std::uint16_t r = 5; r <= 24; ++r)
        for (std::uint16_t k = 0; k < 16; ++k) {
            const auto col = static_cast<std::uint16_t>(13 + k);
            const auto a = static_cast<std::uint16_t>(k % 12), b = static_cast<std::uint16_t>((k + 1) % 12);
            const auto left = static_cast<std::uint16_t>(col - 1);
            const Bytes two = Bytes{0x1E} + le16(2);
            Bytes f = k % 4 == 0   ? ref(r, a) + ref(r, b) + Bytes{0x05}       // A * B
                      : k % 4 == 1 ? ref(r, a) + two + Bytes{0x03}            // A + 2
                      : k % 4 == 2 ? area(r, r, 0, 11) + call(1, 4)           // SUM(A:L)
                                   : ref(r, left) + two + call(2, 27); // ROUND(left, 2)
            cells.push_back(test::formulaCell(r, col, f));
        }
    for (std::uint16_t k = 0; k < 16; ++k)
        cells.push_back(test::formulaCell(static_cast<std::uint16_t>(5 + k), 30,
                                          area(5, 24, static_cast<std::uint16_t>(13 + k),
                                               static_cast<std::uint16_t>(13 + k)) +
                                              call(1, 4)));
    test::BookSpec plan;
    plan.sheets = {{"原木一", cells, {}}};
    return test::buildFile(plan);
}

void BM_BillSaveWithFormulas(benchmark::State& state) {
    const Bytes file = billWithFormulas();
    auto doc = xls::Document::parse(file);
    double round = 0;
    for (auto _ : state) {
        ++round;
        for (std::uint32_t r = 5; r <= 24; ++r)
            for (std::uint16_t c = 0; c < 12; ++c)
                doc.setCell(0, r, c, xls::CellValue::ofNumber(round + r * 0.5 + c));
        benchmark::DoNotOptimize(doc.serialize());
        doc.markSaved();
    }
    // The last save computed them all: AE6 totals column N, A6 * B6 down the rows.
    double total = 0;
    for (std::uint32_t r = 5; r <= 24; ++r) total += (round + r * 0.5) * (round + r * 0.5 + 1);
    if (doc.cell(0, 5, 30) != xls::CellValue::ofNumber(total))
        state.SkipWithError("the formulas were not computed");
    state.counters["formulas"] = 20 * 16 + 16;
}
BENCHMARK(BM_BillSaveWithFormulas)->Unit(benchmark::kMicrosecond);

// The shipped bill's one formula, the amount in words J34: a save after
// writing the total G34 (J34 computed) against one after writing a cell no
// formula reads.
void shippedBillSave(benchmark::State& state, std::uint16_t col) {
    std::ifstream in(LANQI_SHIPPED_WORKBOOK, std::ios::binary);
    auto doc = xls::Document::parse(
        Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    double amount = 0;
    for (auto _ : state) {
        doc.setCell(0, 33, col, xls::CellValue::ofNumber(amount += 1234.56));
        benchmark::DoNotOptimize(doc.serialize());
        doc.markSaved();
    }
}
void BM_ShippedBillSaveTotal(benchmark::State& state) {
    shippedBillSave(state, 6);
}
void BM_ShippedBillSaveOtherCell(benchmark::State& state) {
    shippedBillSave(state, 0);
}
BENCHMARK(BM_ShippedBillSaveTotal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShippedBillSaveOtherCell)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lanqi

BENCHMARK_MAIN();
