#include "book/formula_trailers.h"

#include "biff/records.h"
#include "biff/string.h"

#include <algorithm>
#include <map>
#include <optional>

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

// The cell (row, col) that a formula's whole expression, one ptgExp or
// ptgTbl, points at.
std::optional<std::pair<std::uint32_t, std::uint16_t>> pointsAt(const Cell& c, std::uint8_t ptg) {
    ByteView d(c.data);
    if (c.id != rec::kFormula || d.size() < kFormulaExpression + kPtgExpSize ||
        getU16(d, kFormulaExpressionSize) != kPtgExpSize || d[kFormulaExpression] != ptg)
        return std::nullopt;
    return std::pair<std::uint32_t, std::uint16_t>{getU16(d, kFormulaExpression + kPtgExpRow),
                                                   getU16(d, kFormulaExpression + kPtgExpCol)};
}

bool sharesFormulaOf(const Cell& c, std::uint32_t row, std::uint16_t col) {
    auto at = pointsAt(c, kPtgExp);
    return at && at->first == row && at->second == col;
}

struct Range {
    std::uint32_t rowFirst, rowLast;
    std::uint16_t colFirst, colLast;
    bool contains(std::uint32_t r, std::uint16_t c) const {
        return r >= rowFirst && r <= rowLast && c >= colFirst && c <= colLast;
    }
    bool single() const { return rowFirst == rowLast && colFirst == colLast; }
};

Range rangeOf(const RawRecord& t) {
    ByteView d(t.data);
    return {getU16(d, kRefRowFirst), getU16(d, kRefRowLast), d[kRefColFirst], d[kRefColLast]};
}

void setRange(RawRecord& t, const Range& g) {
    setU16(t.data.data() + kRefRowFirst, static_cast<std::uint16_t>(g.rowFirst));
    setU16(t.data.data() + kRefRowLast, static_cast<std::uint16_t>(g.rowLast));
    t.data[kRefColFirst] = static_cast<std::uint8_t>(g.colFirst);
    t.data[kRefColLast] = static_cast<std::uint8_t>(g.colLast);
}

std::string rangeName(const Range& g) {
    return cellName(g.rowFirst, g.colFirst) + ":" + cellName(g.rowLast, g.colLast);
}

// The ARRAY, SHRFMLA or TABLE record (id) at the cell `anchor` that covers
// (row, col), or null.
const RawRecord* recordAt(const Sheet& sheet, std::pair<std::uint32_t, std::uint16_t> anchor,
                          std::uint16_t id, std::uint32_t row, std::uint16_t col) {
    const Cell* a = findCell(sheet, anchor.first, anchor.second);
    if (!a) return nullptr;
    for (const RawRecord& t : a->trailers)
        if (t.id == id && t.data.size() >= kRefSize && rangeOf(t).contains(row, col)) return &t;
    return nullptr;
}

Error refused(const Sheet& sheet, std::uint32_t row, std::uint16_t col, const char* what,
              const RawRecord* t) {
    std::string where = t ? rangeName(rangeOf(*t)) : cellName(row, col);
    return Error(ErrorKind::WriteRefused, "工作表“" + sheet.name + "”的单元格 " +
                                              cellName(row, col) + " 属于" + what + " " + where +
                                              "，不能只更改其中的一部分");
}

// The cells that shared the formula anchored at (row, col), which is being
// written over, get rectangles of their own: runs of adjacent columns in a
// row, joined with the same run in the rows right below.
void reanchorSharedFormula(Sheet& sheet, std::uint32_t row, std::uint16_t col,
                           std::vector<RawRecord>& trailers) {
    auto shared = std::find_if(trailers.begin(), trailers.end(),
                               [](const RawRecord& t) { return t.id == rec::kShrFmla; });
    if (shared == trailers.end() || shared->data.size() < rec::fixedSize(rec::kShrFmla)) return;
    const Range whole = rangeOf(*shared);
    struct Block {
        Range range;
        std::vector<std::pair<std::uint32_t, Cell*>> cells;
    };
    std::vector<Block> blocks;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::size_t> above; // column span -> block
    for (auto it = sheet.rows.lower_bound(whole.rowFirst);
         it != sheet.rows.end() && it->first <= whole.rowLast; ++it) {
        const std::uint32_t r = it->first;
        std::vector<Cell*> cells;
        for (Cell& c : it->second.cells)
            if (whole.contains(r, c.col) && !(r == row && c.col == col) &&
                sharesFormulaOf(c, row, col))
                cells.push_back(&c);
        std::map<std::pair<std::uint16_t, std::uint16_t>, std::size_t> here;
        for (std::size_t i = 0; i < cells.size();) {
            std::size_t j = i + 1;
            while (j < cells.size() && cells[j]->col == cells[j - 1]->col + 1) ++j;
            std::pair<std::uint16_t, std::uint16_t> span{cells[i]->col, cells[j - 1]->col};
            auto o = above.find(span);
            std::size_t b;
            if (o != above.end() && blocks[o->second].range.rowLast + 1 == r) {
                b = o->second;
                blocks[b].range.rowLast = r;
            } else {
                b = blocks.size();
                blocks.push_back({{r, r, span.first, span.second}, {}});
            }
            for (std::size_t k = i; k < j; ++k) blocks[b].cells.emplace_back(r, cells[k]);
            here[span] = b;
            i = j;
        }
        above = std::move(here);
    }
    for (const Block& b : blocks) {
        RawRecord copy = *shared;
        setRange(copy, b.range);
        copy.data[kShrFmlaUses] =
            static_cast<std::uint8_t>(std::min<std::size_t>(255, b.cells.size()));
        for (auto [r, c] : b.cells) {
            std::uint8_t* exp = c->data.data() + kFormulaExpression;
            setU16(exp + kPtgExpRow, static_cast<std::uint16_t>(b.range.rowFirst));
            setU16(exp + kPtgExpCol, b.range.colFirst);
        }
        Cell* anchor = b.cells.front().second;
        anchor->trailers.insert(anchor->trailers.begin(), std::move(copy));
    }
    trailers.erase(shared);
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

void prepareFormulaOverwrite(Sheet& sheet, std::uint32_t row, std::uint16_t col, Cell& cell) {
    if (auto table = pointsAt(cell, kPtgTbl))
        throw refused(sheet, row, col, "模拟运算表",
                      recordAt(sheet, *table, rec::kTable, row, col));
    auto anchor = pointsAt(cell, kPtgExp);
    if (!anchor) return;
    if (const RawRecord* array = recordAt(sheet, *anchor, rec::kArray, row, col)) {
        if (!rangeOf(*array).single()) throw refused(sheet, row, col, "数组公式", array);
        return; // a single-cell array formula goes with its cell
    }
    if (anchor->first == row && anchor->second == col)
        reanchorSharedFormula(sheet, row, col, cell.trailers);
}

} // namespace lanqi::xls
