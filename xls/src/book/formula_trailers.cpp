#include "book/formula_trailers.h"

#include "biff/records.h"
#include "biff/string.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

bool hasStringResult(const Cell& c) {
    return c.id == rec::kFormula && getU16(c.data, kFormulaResultMarker) == kFormulaNotNumber &&
           c.data[kFormulaResultType] == kResultString;
}

// The STRING record and the CONTINUEs after it; the last STRING counts.
std::string formulaString(const std::vector<RawRecord>& trailers, const std::string& where) {
    std::vector<ByteView> parts;
    for (const RawRecord& t : trailers) {
        if (t.id == rec::kString) parts.clear();
        if (t.id == rec::kString || (t.id == rec::kContinue && !parts.empty()))
            parts.push_back(t.data);
    }
    ContinuedReader r(parts, where);
    return readUnicodeString(r);
}

// A formula whose whole expression is a ptgExp to the shared formula
// anchored at (row, col).
bool sharesFormulaOf(const Cell& c, std::uint32_t row, std::uint16_t col) {
    ByteView d(c.data);
    return c.id == rec::kFormula && d.size() >= kFormulaExpression + kPtgExpSize &&
           getU16(d, kFormulaExpressionSize) == kPtgExpSize && d[kFormulaExpression] == kPtgExp &&
           getU16(d, kFormulaExpression + kPtgExpRow) == row &&
           getU16(d, kFormulaExpression + kPtgExpCol) == col;
}

} // namespace

bool isFormulaTrailer(std::uint16_t id) {
    return id == rec::kString || id == rec::kShrFmla || id == rec::kArray || id == rec::kTable ||
           id == rec::kContinue;
}

void readFormulaStrings(Sheet& sheet) {
    for (auto& [r, row] : sheet.rows)
        for (Cell& c : row.cells)
            if (hasStringResult(c) &&
                std::any_of(c.trailers.begin(), c.trailers.end(),
                            [](const RawRecord& t) { return t.id == rec::kString; }))
                c.text = formulaString(c.trailers, "公式的字符串结果");
}

// Ranges of one row or one column only.
void handOverSharedFormula(Sheet& sheet, std::uint32_t row, std::uint16_t col,
                           std::vector<RawRecord>& trailers) {
    auto shared = std::find_if(trailers.begin(), trailers.end(),
                               [](const RawRecord& t) { return t.id == rec::kShrFmla; });
    if (shared == trailers.end() || shared->data.size() < rec::fixedSize(rec::kShrFmla)) return;
    Bytes& ref = shared->data;
    std::uint16_t rowFirst = getU16(ref, kShrFmlaRowFirst), rowLast = getU16(ref, kShrFmlaRowLast);
    std::uint8_t colFirst = ref[kShrFmlaColFirst], colLast = ref[kShrFmlaColLast];
    if (rowFirst != rowLast && colFirst != colLast) return;
    std::vector<std::pair<std::uint32_t, Cell*>> sharers;
    for (auto it = sheet.rows.lower_bound(rowFirst); it != sheet.rows.end() && it->first <= rowLast;
         ++it)
        for (Cell& c : it->second.cells)
            if (c.col >= colFirst && c.col <= colLast && !(it->first == row && c.col == col) &&
                sharesFormulaOf(c, row, col))
                sharers.emplace_back(it->first, &c);
    if (sharers.empty()) return;
    auto [heirRow, heir] = sharers.front();
    for (auto& [r, c] : sharers) {
        std::uint8_t* exp = c->data.data() + kFormulaExpression;
        setU16(exp + kPtgExpRow, static_cast<std::uint16_t>(heirRow));
        setU16(exp + kPtgExpCol, heir->col);
    }
    if (rowFirst == rowLast)
        ref[kShrFmlaColFirst] = static_cast<std::uint8_t>(heir->col);
    else
        setU16(ref.data() + kShrFmlaRowFirst, static_cast<std::uint16_t>(heirRow));
    heir->trailers.insert(heir->trailers.begin(), std::move(*shared));
    trailers.erase(shared);
}

} // namespace lanqi::xls
