// libFuzzer target for the workbook engine: any input either parses or is
// refused with an xls::Error; a parsed workbook reads every cell, takes
// writes (or refuses those into part of an array formula), and what it
// serializes parses again with the written values.
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
    // A write into part of an array formula or a data table is refused.
    std::vector<bool> written;
    for (std::size_t s = 0; s < sheets; ++s)
        for (const Write& w : kWrites) {
            try {
                doc->setCell(s, w.row, w.col, w.value);
                written.push_back(true);
            } catch (const lanqi::xls::Error& e) {
                if (e.kind() != lanqi::xls::ErrorKind::WriteRefused) std::abort();
                written.push_back(false);
            }
        }
    // What was written must parse again and hold the writes; serialize
    // checks that itself, so an Error from it is a fault found.
    std::vector<std::uint8_t> saved;
    try {
        saved = doc->serialize();
    } catch (const lanqi::xls::Error&) {
        std::abort();
    }
    std::optional<Document> again = parse(std::move(saved));
    if (!again) std::abort();
    std::size_t k = 0;
    for (std::size_t s = 0; s < sheets; ++s)
        for (const Write& w : kWrites)
            if (written[k++] && w.value.kind != CellValue::Kind::Empty &&
                again->cell(s, w.row, w.col) != w.value)
                std::abort();
    (void)texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(data, size);
    return 0;
}
