// libFuzzer target for the workbook engine: any input either parses or is
// refused with an xls::Error; a parsed workbook reads every cell, takes
// writes, and what it serializes parses again with the written values.
#include <lanqi/xls/document.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using lanqi::xls::CellValue;
using lanqi::xls::Document;

struct Write {
    std::uint32_t row;
    std::uint16_t col;
    CellValue value;
};

const Write kWrites[] = {
    {0, 0, CellValue::ofNumber(12.5)},
    {1, 1, CellValue::ofText("木材")},
    {2, 2, CellValue::empty()},
};

std::optional<Document> parse(std::vector<std::uint8_t> bytes) {
    try {
        return Document::parse(std::move(bytes));
    } catch (const lanqi::xls::Error&) {
        return std::nullopt;
    }
}

void exercise(const std::uint8_t* data, std::size_t size) {
    std::optional<Document> doc = parse(std::vector<std::uint8_t>(data, data + size));
    if (!doc) return;
    const std::size_t sheets = doc->worksheetNames().size();
    std::size_t texts = 0;
    for (std::size_t s = 0; s < sheets; ++s)
        doc->forEachCell(
            s, [&](std::uint32_t, std::uint16_t, const CellValue& v) { texts += !v.text.empty(); });
    for (std::size_t s = 0; s < sheets; ++s)
        for (const Write& w : kWrites) doc->setCell(s, w.row, w.col, w.value);
    // What was written must parse again and hold the writes.
    std::optional<Document> again = parse(doc->serialize());
    if (!again) std::abort();
    for (std::size_t s = 0; s < sheets; ++s)
        for (const Write& w : kWrites)
            if (w.value.kind != CellValue::Kind::Empty && again->cell(s, w.row, w.col) != w.value)
                std::abort();
    (void)texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(data, size);
    return 0;
}
