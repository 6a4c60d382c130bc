#include "book/formula_results.h"

#include "biff/record_stream.h"
#include "biff/records.h"
#include "biff/string.h"
#include "book/cell_value.h"
#include "book/defined_names.h"
#include "formula/evaluate.h"

#include <lanqi/xls/document.h>

#include <cstring>
#include <deque>
#include <optional>

namespace lanqi::xls {
namespace {

using formula::Area;
using formula::ErrorCode;
using formula::Value;

// A save stays quick on any workbook: past these, what is left is left to
// the spreadsheet program.
constexpr std::size_t kMaxLinks = 4'000'000;  // formula-to-formula references followed
constexpr std::size_t kMaxReads = 20'000'000; // cells read while computing

ErrorCode errorCode(const std::string& text) {
    static constexpr std::pair<std::string_view, ErrorCode> kErrors[] = {
        {"#NULL!", ErrorCode::Null}, {"#DIV/0!", ErrorCode::Div0}, {"#VALUE!", ErrorCode::Value},
        {"#REF!", ErrorCode::Ref},   {"#NAME?", ErrorCode::Name},  {"#NUM!", ErrorCode::Num},
        {"#N/A", ErrorCode::NA}};
    for (auto [name, code] : kErrors)
        if (name == text) return code;
    return ErrorCode::NA;
}

Value storedValue(const WorkbookStream& wb, const Cell& c) {
    const CellValue v = cellValue(wb, c);
    switch (v.kind) {
    case CellValue::Kind::Number:
        return Value::ofNumber(v.number);
    case CellValue::Kind::Text:
        return Value::ofText(v.text);
    case CellValue::Kind::Boolean:
        return Value::ofBoolean(v.number != 0);
    case CellValue::Kind::Error:
        return Value::ofError(errorCode(v.text));
    case CellValue::Kind::Empty:
        break;
    }
    return Value::empty();
}

// A formula cell and what is known of it.
struct Node {
    formula::Position at;
    Cell* cell = nullptr;
    ByteView tokens;
    bool shared = false;
    std::vector<Area> refs;
    const char* unreadable = nullptr; // why its tokens cannot be evaluated
    bool isVolatile = false;
    bool outdated = false; // reads a volatile formula: its stored result is out of date
    bool affected = false;
    bool precedentLeft = false;
    std::vector<std::size_t> dependents;
    std::size_t waiting = 0; // affected precedents not computed yet
    enum class State { Pending, Done, Left } state = State::Pending;
    Value result;
};

// The formula's tokens: its own, or those of the shared formula it is a cell of.
void findTokens(const Sheet& sheet, Node& n) {
    ByteView d(n.cell->data);
    if (d.size() < kFormulaExpression ||
        getU16(d, kFormulaExpressionSize) > d.size() - kFormulaExpression) {
        n.unreadable = "damaged formula";
        return;
    }
    n.tokens = d.subspan(kFormulaExpression, getU16(d, kFormulaExpressionSize));
    if (n.tokens.empty() || (n.tokens[0] != kPtgExp && n.tokens[0] != kPtgTbl)) return;
    if (n.tokens[0] == kPtgTbl || n.tokens.size() != kPtgExpSize) {
        n.unreadable = "data table";
        return;
    }
    const Cell* anchor = findCell(sheet, getU16(n.tokens, kPtgExpRow), getU16(n.tokens, kPtgExpCol));
    n.unreadable = "shared formula without its SHRFMLA";
    if (!anchor) return;
    for (const RawRecord& t : anchor->trailers) {
        if ((t.id != rec::kShrFmla && t.id != rec::kArray) || t.data.size() < kRefSize) continue;
        ByteView r(t.data);
        if (!(n.at.row >= getU16(r, kRefRowFirst) && n.at.row <= getU16(r, kRefRowLast) &&
              n.at.col >= r[kRefColFirst] && n.at.col <= r[kRefColLast]))
            continue;
        if (t.id == rec::kArray) {
            n.unreadable = "array formula";
            return;
        }
        if (r.size() < kShrFmlaExpression ||
            getU16(r, kShrFmlaExpressionSize) > r.size() - kShrFmlaExpression)
            return;
        n.tokens = r.subspan(kShrFmlaExpression, getU16(r, kShrFmlaExpressionSize));
        n.shared = true;
        n.unreadable = nullptr;
        return;
    }
}

// The workbook's cells as the formulas read them: a formula that is being
// computed again reads as its new result.
class Book : public formula::Cells {
  public:
    Book(WorkbookStream& wb, const std::vector<std::size_t>& worksheets)
        : wb_(wb), worksheets_(worksheets), extern_(externSheets(wb, worksheets)),
          names_(nameExpressions(wb)), formulas_(worksheets.size()) {
        for (std::size_t s = 0; s < worksheets.size(); ++s) {
            Sheet& sheet = wb.sheet(worksheets[s]);
            for (auto& [r, row] : sheet.rows)
                for (Cell& c : row.cells) {
                    if (c.id != rec::kFormula) continue;
                    Node n;
                    n.at = {s, r, c.col};
                    n.cell = &c;
                    findTokens(sheet, n);
                    formulas_[s][{r, c.col}] = nodes.size();
                    nodes.push_back(std::move(n));
                }
        }
    }

    std::vector<Node> nodes;

    // The formulas inside the area, by their index.
    template <class F>
    void formulasIn(const Area& a, F&& visit) const {
        if (a.sheet >= formulas_.size()) return;
        const auto& m = formulas_[a.sheet];
        for (auto it = m.lower_bound({a.rowFirst, a.colFirst});
             it != m.end() && it->first.first <= a.rowLast;) {
            if (it->first.second > a.colLast) {
                it = m.lower_bound({it->first.first + 1, a.colFirst});
                continue;
            }
            if (it->first.second >= a.colFirst) visit(it->second);
            ++it;
        }
    }

    Value value(std::size_t sheet, std::uint32_t row, std::uint16_t col) override {
        if (sheet >= worksheets_.size()) throw formula::NotEvaluated{"sheet"};
        count(1);
        const Cell* c = findCell(wb_.sheets()[worksheets_[sheet]], row, col);
        return c ? valueOf(sheet, row, *c) : Value::empty();
    }

    void forEach(const Area& a, const Visitor& visit) override {
        if (a.sheet >= worksheets_.size()) throw formula::NotEvaluated{"sheet"};
        const Sheet& sheet = wb_.sheets()[worksheets_[a.sheet]];
        for (auto it = sheet.rows.lower_bound(a.rowFirst);
             it != sheet.rows.end() && it->first <= a.rowLast; ++it) {
            count(it->second.cells.size());
            for (const Cell& c : it->second.cells)
                if (c.col >= a.colFirst && c.col <= a.colLast)
                    visit(it->first, c.col, valueOf(a.sheet, it->first, c));
        }
    }

    std::optional<std::size_t> sheetOf(std::uint16_t externSheet) const override {
        return externSheet < extern_.size() ? extern_[externSheet] : std::nullopt;
    }

    std::optional<ByteView> nameTokens(std::uint16_t index) const override {
        if (index == 0 || index > names_.size() || !names_[index - 1u]) return std::nullopt;
        return ByteView(*names_[index - 1u]);
    }

  private:
    void count(std::size_t reads) {
        reads_ += reads;
        if (reads_ > kMaxReads) throw formula::NotEvaluated{"too much to compute before a save"};
    }

    Value valueOf(std::size_t sheet, std::uint32_t row, const Cell& c) {
        if (c.id == rec::kFormula) {
            const Node& n = nodes[formulas_[sheet].at({row, c.col})];
            // One whose references are not known may depend on a written cell.
            if (n.unreadable) throw formula::NotEvaluated{"depends on a formula the engine does not read"};
            if (n.outdated && !n.affected)
                throw formula::NotEvaluated{"depends on a volatile formula (NOW, TODAY, RAND...)"};
            if (n.affected) {
                if (n.state != Node::State::Done)
                    throw formula::NotEvaluated{"depends on a formula left to the spreadsheet program"};
                return n.result;
            }
        }
        return storedValue(wb_, c);
    }

    WorkbookStream& wb_;
    const std::vector<std::size_t>& worksheets_;
    std::vector<std::optional<std::size_t>> extern_;
    std::vector<std::optional<Bytes>> names_;
    std::size_t reads_ = 0;
    std::vector<std::map<std::pair<std::uint32_t, std::uint16_t>, std::size_t>> formulas_;
};

void setSpecialResult(Cell& c, std::uint8_t type, std::uint8_t value) {
    std::uint8_t* d = c.data.data();
    std::memset(d + kCellValue, 0, 8);
    d[kFormulaResultType] = type;
    d[kFormulaResultValue] = value;
    setU16(d + kFormulaResultMarker, kFormulaNotNumber);
}

// The STRING record and its CONTINUEs for a string result.
std::vector<RawRecord> stringRecords(const std::string& text) {
    Bytes out;
    ContinuedWriter w(out, rec::kString);
    writeSharedString(w, makeSharedString(text));
    w.finish();
    std::vector<RawRecord> records;
    for (const RecordRef& r : splitRecords(out)) records.push_back({r.id, Bytes(r.data.begin(), r.data.end())});
    return records;
}

// Stores the result as the formula's cached value.
void storeResult(Cell& c, const Value& v) {
    auto& t = c.trailers;
    for (std::size_t i = 0; i < t.size();) {
        if (t[i].id != rec::kString) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < t.size() && t[end].id == rec::kContinue) ++end;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(i), t.begin() + static_cast<std::ptrdiff_t>(end));
    }
    c.text.clear();
    switch (v.kind) {
    case Value::Kind::Number:
        setF64(c.data.data() + kCellValue, v.number);
        break;
    case Value::Kind::Boolean:
        setSpecialResult(c, kResultBoolean, v.number != 0 ? 1 : 0);
        break;
    case Value::Kind::Error:
        setSpecialResult(c, kResultError, static_cast<std::uint8_t>(v.error));
        break;
    default:
        if (v.text.empty()) {
            setSpecialResult(c, kResultEmptyString, 0);
        } else {
            setSpecialResult(c, kResultString, 0);
            for (RawRecord& r : stringRecords(v.text)) t.push_back(std::move(r));
            c.text = v.text;
        }
        break;
    }
}

// Sets the flag on every formula that reads one that has it, directly or not.
void spread(std::vector<Node>& nodes, bool Node::*flag) {
    std::deque<std::size_t> queue;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].*flag) queue.push_back(i);
    while (!queue.empty()) {
        const std::size_t p = queue.front();
        queue.pop_front();
        for (std::size_t d : nodes[p].dependents)
            if (!(nodes[d].*flag)) {
                nodes[d].*flag = true;
                queue.push_back(d);
            }
    }
}

} // namespace

FormulaResults computeFormulaResults(WorkbookStream& wb, const std::vector<std::size_t>& worksheets,
                                     const std::vector<CellPlace>& written) {
    FormulaResults report;
    Book book(wb, worksheets);
    auto& nodes = book.nodes;
    if (nodes.empty()) return report;

    // What each formula reads; the formulas a written cell feeds directly.
    std::size_t links = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Node& n = nodes[i];
        if (!n.unreadable) {
            try {
                formula::Precedents p = formula::precedents(n.tokens, n.at, book, n.shared);
                n.refs = std::move(p.areas);
                n.isVolatile = p.isVolatile;
            } catch (const formula::NotEvaluated& e) {
                n.unreadable = e.what;
            }
        }
        if (n.unreadable) {
            ++report.unknownDependencies;
            continue;
        }
        for (const Area& a : n.refs) {
            for (const auto& [sheet, row, col] : written)
                if (a.contains(sheet, row, col)) n.affected = true;
            book.formulasIn(a, [&](std::size_t p) {
                nodes[p].dependents.push_back(i);
                ++links;
            });
        }
        if (links > kMaxLinks) {
            report.left["too many references between formulas to follow before a save"] = nodes.size();
            return report;
        }
    }
    // Whatever reads a volatile formula, directly or not, has a stored
    // result that is out of date already.
    for (Node& n : nodes) n.outdated = n.isVolatile;
    spread(nodes, &Node::outdated);
    // And the formulas written cells feed, on and on.
    spread(nodes, &Node::affected);

    // In dependency order: a formula once every formula it reads is done.
    std::deque<std::size_t> queue;
    for (const Node& n : nodes)
        if (n.affected)
            for (std::size_t d : n.dependents) ++nodes[d].waiting;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].affected && nodes[i].waiting == 0) queue.push_back(i);
    auto leave = [&](Node& n, const char* why) {
        n.state = Node::State::Left;
        ++report.left[why];
    };
    while (!queue.empty()) {
        Node& n = nodes[queue.front()];
        queue.pop_front();
        if (n.precedentLeft) {
            leave(n, "depends on a formula left to the spreadsheet program");
        } else {
            try {
                Value v = formula::evaluate(n.tokens, n.at, book, n.shared);
                if (v.kind == Value::Kind::Text && utf8ToUtf16(v.text).size() > kMaxTextLength)
                    throw formula::NotEvaluated{"text longer than a cell holds"};
                n.result = std::move(v);
                n.state = Node::State::Done;
            } catch (const formula::NotEvaluated& e) {
                leave(n, e.what);
            }
        }
        for (std::size_t d : n.dependents) {
            if (n.state == Node::State::Left) nodes[d].precedentLeft = true;
            if (--nodes[d].waiting == 0) queue.push_back(d);
        }
    }
    for (Node& n : nodes) {
        if (!n.affected) continue;
        if (n.state == Node::State::Pending) leave(n, "circular reference");
        if (n.state != Node::State::Done) continue;
        storeResult(*n.cell, n.result);
        report.computed.emplace_back(n.at.sheet, n.at.row, n.at.col);
    }
    return report;
}

} // namespace lanqi::xls
