// corpus_check: tries the engine on one workbook as the program uses it.
// It opens the file, writes bill-like cells into every worksheet (Chinese
// text, numbers, leading-zero text, empty text over existing cells, cells
// inside and far outside the used range, over formulas), saves, and checks
// the saved bytes: they parse again, every written cell holds what was
// written, every other cell, string and formula is as it was, and every
// other stream of the compound file is byte for byte the same.
//
//   corpus_check IN.xls OUT.xls WRITES.tsv
// Prints one "opened" or "refused" line, then "fail" and "note" lines.
// WRITES.tsv lists the cells written (sheet, row and column from 1, kind,
// value) for the peers that check the saved copy. Exit status: 0 opened and
// every check passed, 1 a check failed, 3 refused, 2 usage or file error.
#include "biff/encrypted_stream.h"
#include "biff/record_stream.h"
#include "biff/records.h"
#include "biff/string.h"
#include "book/edit.h"
#include "book/formula_results.h"
#include "cfb/reader.h"

#include <lanqi/xls/document.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace lanqi::xls;
using Kind = CellValue::Kind;
using Place = std::pair<std::uint32_t, std::uint16_t>; // row, column from 0

// FORMULA: row, col, xf (6), result (8), flags (2), chn (4), cce (2), rgce.
constexpr std::size_t kFormulaCce = 20;
constexpr std::size_t kFormulaRgce = 22;
constexpr std::uint8_t kPtgExp = 0x01; // the formula is an array or shared one
constexpr std::uint8_t kPtgTbl = 0x02; // the cell belongs to a data table
// SHRFMLA, ARRAY, TABLE start with the range: rwFirst, rwLast (2 each),
// colFirst, colLast (1 each). SHRFMLA: reserved, cUse, cce at 8, rgce at 10;
// ARRAY: flags (2), chn (4), cce at 12, rgce at 14.
constexpr std::size_t kShrFmlaCce = 8;
constexpr std::size_t kArrayCce = 12;
constexpr std::uint16_t kWorksheetBof = 0x0010;

struct Trailer {
    std::uint16_t id;
    Bytes data;
    bool covers(Place p) const {
        return data.size() >= 6 && p.first >= getU16(data, 0) && p.first <= getU16(data, 2) &&
               p.second >= data[4] && p.second <= data[5];
    }
};

struct FormulaCell {
    Bytes rgce;
    std::vector<Trailer> trailers; // SHRFMLA, ARRAY, TABLE after it
};

// One substream (worksheet, chart, macro sheet...) as raw cells.
struct Substream {
    bool worksheet = false;
    std::map<Place, std::uint32_t> labels; // LABELSST: shared string index
    std::map<Place, FormulaCell> formulas;
};

struct RawBook {
    std::vector<std::string> strings; // the shared string table
    std::vector<bool> rich;           // whether each has formatting runs
    std::vector<Substream> subs;
};

// The workbook stream's entry: "Workbook", or "Book" holding BIFF8.
std::optional<std::uint32_t> workbookEntry(const CompoundFile& cf) {
    auto e = cf.findInRoot(u"Workbook");
    return e ? e : cf.findInRoot(u"Book");
}

// The workbook stream, decrypted when Excel's built-in password protects it.
Bytes workbookStream(const CompoundFile& cf, bool* decrypted = nullptr) {
    auto e = workbookEntry(cf);
    Bytes stream = e ? cf.entries[*e].content : Bytes{};
    const bool was = decryptWorkbookStream(stream).has_value();
    if (decrypted) *decrypted = was;
    return stream;
}

void readSst(RawBook& book, const std::vector<RecordRef>& recs, std::size_t i) {
    std::vector<ByteView> parts{recs[i].data};
    while (i + 1 < recs.size() && recs[i + 1].id == rec::kContinue) parts.push_back(recs[++i].data);
    ContinuedReader r(std::move(parts), "SST");
    r.u32();
    std::uint32_t unique = r.u32();
    for (std::uint32_t k = 0; k < unique && !r.atEnd(); ++k) {
        // The option byte says whether runs follow; read it before the string.
        ContinuedReader probe = r;
        probe.u16();
        bool rich = (probe.u8() & 0x08) != 0;
        book.strings.push_back(readSharedString(r).text);
        book.rich.push_back(rich);
    }
}

RawBook readRaw(ByteView stream) {
    RawBook book;
    auto recs = splitRecords(stream);
    int depth = 0;
    Substream* sub = nullptr;
    FormulaCell* lastFormula = nullptr;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const RecordRef& r = recs[i];
        if (r.id == rec::kBof) {
            if (++depth == 1 && i > 0) { // the globals come first and are not listed
                book.subs.emplace_back();
                sub = &book.subs.back();
                sub->worksheet = r.data.size() >= 4 && getU16(r.data, 2) == kWorksheetBof;
            }
            lastFormula = nullptr;
            continue;
        }
        if (r.id == rec::kEof) {
            --depth;
            continue;
        }
        if (!sub) {
            if (r.id == rec::kSst) readSst(book, recs, i);
            continue;
        }
        if (depth != 1 || r.data.size() < 6) continue;
        Place p{getU16(r.data, 0), getU16(r.data, 2)};
        if (r.id == rec::kLabelSst && r.data.size() >= 10) {
            sub->labels[p] = getU32(r.data, 6);
        } else if (r.id == rec::kFormula && r.data.size() >= kFormulaRgce) {
            std::size_t cce = getU16(r.data, kFormulaCce);
            ByteView rgce = r.data.subspan(kFormulaRgce);
            FormulaCell& f = sub->formulas[p];
            ByteView used = rgce.first(std::min<std::size_t>(cce, rgce.size()));
            f.rgce.assign(used.begin(), used.end());
            f.trailers.clear();
            lastFormula = &f;
            continue;
        } else if ((r.id == rec::kShrFmla || r.id == rec::kArray || r.id == rec::kTable) &&
                   lastFormula) {
            lastFormula->trailers.push_back({r.id, Bytes(r.data.begin(), r.data.end())});
            continue;
        } else if (r.id == rec::kString || r.id == rec::kContinue) {
            continue;
        }
        lastFormula = nullptr;
    }
    return book;
}

// What a formula cell computes: its own tokens, or the shared formula,
// array or table it points to; nullopt when that is not in the file.
std::optional<std::string> resolve(const Substream& s, Place p, const FormulaCell& f) {
    if (f.rgce.size() < 5 || (f.rgce[0] != kPtgExp && f.rgce[0] != kPtgTbl))
        return "own:" + std::string(f.rgce.begin(), f.rgce.end());
    Place anchor{getU16(f.rgce, 1), getU16(f.rgce, 3)};
    auto a = s.formulas.find(anchor);
    if (a == s.formulas.end()) return std::nullopt;
    for (const Trailer& t : a->second.trailers) {
        if (!t.covers(p)) continue;
        if (f.rgce[0] == kPtgTbl && t.id == rec::kTable)
            return "table:" + std::string(t.data.begin() + 6, t.data.end());
        if (t.id == rec::kShrFmla && t.data.size() >= kShrFmlaCce + 2)
            return "shared:" + std::string(t.data.begin() + kShrFmlaCce, t.data.end());
        if (t.id == rec::kArray && t.data.size() >= kArrayCce + 2)
            return "array:" + std::string(t.data.begin() + kArrayCce, t.data.end());
    }
    return std::nullopt;
}

std::string kindOf(ErrorKind k) {
    switch (k) {
    case ErrorKind::Damaged:
        return "damaged";
    case ErrorKind::NotWorkbook:
        return "not-workbook";
    case ErrorKind::OldVersion:
        return "old-version";
    case ErrorKind::Encrypted:
        return "encrypted";
    case ErrorKind::WriteRefused:
        return "write-refused";
    case ErrorKind::TextTooLong:
        return "text-too-long";
    }
    return "other";
}

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string shown(const CellValue& v) {
    char buf[40];
    switch (v.kind) {
    case Kind::Empty:
        return "empty";
    case Kind::Number:
        std::snprintf(buf, sizeof buf, "number %.17g", v.number);
        return buf;
    case Kind::Boolean:
        return v.number != 0 ? "boolean TRUE" : "boolean FALSE";
    case Kind::Error:
        return "error " + v.text;
    case Kind::Text:
        return "text " + escape(v.text);
    }
    return "?";
}

struct Write {
    std::size_t sheet;
    Place at;
    CellValue value;
    std::string why;
};

using Cells = std::map<Place, CellValue>;

Cells cellsOf(const Document& doc, std::size_t sheet) {
    Cells cells;
    doc.forEachCell(sheet, [&](std::uint32_t r, std::uint16_t c, const CellValue& v) {
        if (r < kMaxRows && c < kMaxColumns) cells[{r, c}] = v;
    });
    return cells;
}

// The cells to write into one worksheet, as a bill export would: over
// existing values and formulas, into gaps and far outside the used range.
std::vector<Write> plan(std::size_t sheet, const Cells& cells, const Substream* raw,
                        const RawBook& book) {
    std::vector<Write> w;
    std::set<Place> taken;
    auto add = [&](Place p, CellValue v, std::string why) {
        if (taken.insert(p).second) w.push_back({sheet, p, std::move(v), std::move(why)});
    };
    if (cells.empty()) {
        add({0, 0}, CellValue::ofText("木材账单"), "text into a sheet without cells");
        add({2, 1}, CellValue::ofNumber(4.941), "number into a sheet without cells");
        add({3, 2}, CellValue::ofText("0451"), "leading-zero text into a sheet without cells");
        add({1, 1}, CellValue::empty(), "empty text where no cell is");
        add({60000, 200}, CellValue::ofText("远处 末行"), "text far outside");
        return w;
    }
    std::uint32_t rowLast = 0;
    std::uint16_t colFirst = UINT16_MAX, colLast = 0;
    std::uint32_t rowFirst = cells.begin()->first.first;
    std::vector<Place> values;
    for (const auto& [p, v] : cells) {
        rowLast = std::max(rowLast, p.first);
        colFirst = std::min(colFirst, p.second);
        colLast = std::max(colLast, p.second);
        if ((!raw || !raw->formulas.count(p)) && v.kind != Kind::Empty) values.push_back(p);
    }
    if (values.size() > 0) add(values[0], CellValue::ofText("新的值 甲"), "text over a value");
    if (values.size() > 1) add(values[1], CellValue::empty(), "empty text over a value");
    if (values.size() > 2) add(values[2], CellValue::ofNumber(4.941), "number over a value");
    std::vector<Place> gaps;
    for (std::uint32_t r = rowFirst; r <= rowLast && gaps.size() < 2; ++r)
        for (std::uint16_t c = colFirst; c <= colLast && gaps.size() < 2; ++c)
            if (!cells.count({r, c})) gaps.push_back({r, c});
    if (!gaps.empty()) add(gaps[0], CellValue::ofText("0451"), "leading-zero text into a gap");
    std::uint32_t far = rowLast < 60000 ? 60000 : kMaxRows - 1;
    if (!cells.count({far, 200}))
        add({far, 200}, CellValue::ofNumber(123456789.25), "number far outside");
    if (raw) {
        // Over formulas: a shared formula's first cell and another of its
        // cells, a cell of an array formula, a formula of its own.
        bool anchor = false, member = false, array = false, own = false;
        for (const auto& [p, f] : raw->formulas) {
            if (!cells.count(p)) continue;
            bool exp = f.rgce.size() >= 5 && f.rgce[0] == kPtgExp;
            Place to = exp ? Place{getU16(f.rgce, 1), getU16(f.rgce, 3)} : p;
            auto a = raw->formulas.find(to);
            bool shared = false, isArray = false;
            if (exp && a != raw->formulas.end())
                for (const Trailer& t : a->second.trailers)
                    if (t.covers(p)) (t.id == rec::kShrFmla ? shared : isArray) = true;
            if (shared && to == p && !anchor) {
                anchor = true;
                add(p, CellValue::ofText("覆盖公式"), "text over a shared formula's first cell");
            } else if (shared && to != p && !member) {
                member = true;
                add(p, CellValue::ofNumber(7), "number over a cell of a shared formula");
            } else if (isArray && !array) {
                array = true;
                add(p, CellValue::ofNumber(8), "number over a cell of an array formula");
            } else if (!exp && !own && f.rgce.size() > 0 && f.rgce[0] != kPtgTbl) {
                own = true;
                add(p, CellValue::ofNumber(9), "number over a formula");
            }
        }
    }
    // A text that the file holds as rich text, written as plain text.
    for (std::size_t i = 0; i < book.rich.size(); ++i)
        if (book.rich[i] && !book.strings[i].empty()) {
            if (gaps.size() > 1) add(gaps[1], CellValue::ofText(book.strings[i]), "rich text");
            break;
        }
    return w;
}

std::optional<std::vector<std::uint8_t>> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

std::map<std::string, Bytes> otherStreams(const CompoundFile& cf) {
    std::map<std::string, Bytes> streams;
    auto wb = workbookEntry(cf);
    for (std::uint32_t i = 1; i < cf.entries.size(); ++i)
        if (cf.entries[i].reachable && cf.entries[i].type == EntryType::Stream && i != wb)
            streams[entryPath(cf, i)] = cf.entries[i].content;
    return streams;
}

class Checker {
  public:
    int failures = 0;
    void fail(const std::string& what, const std::string& detail) {
        ++failures;
        std::printf("fail\t%s\t%s\n", what.c_str(), detail.c_str());
    }
    static void note(const std::string& what, const std::string& detail) {
        std::printf("note\t%s\t%s\n", what.c_str(), detail.c_str());
    }
};

// The formula results a save with these writes computes, found again on
// a fresh copy of the workbook stream.
FormulaResults formulaResults(const CompoundFile& original, const std::vector<Write>& done) {
    bool decrypted = false;
    Bytes stream = workbookStream(original, &decrypted);
    WorkbookStream wb = readWorkbookStream(stream, decrypted);
    std::vector<std::size_t> worksheets;
    for (std::size_t i = 0; i < wb.sheets().size(); ++i)
        if (wb.sheets()[i].worksheet) worksheets.push_back(i);
    std::vector<CellPlace> places;
    for (const Write& w : done) {
        setCellValue(wb, wb.sheet(worksheets.at(w.sheet)), w.at.first, w.at.second, w.value);
        places.emplace_back(w.sheet, w.at.first, w.at.second);
    }
    return computeFormulaResults(wb, worksheets, places);
}

void listCell(std::ofstream& list, const std::string& sheet, Place at, const CellValue& value) {
    std::string v = shown(value);
    auto space = v.find(' ');
    list << escape(sheet) << '\t' << at.first + 1 << '\t' << at.second + 1 << '\t'
         << v.substr(0, space) << '\t' << (space == std::string::npos ? "" : v.substr(space + 1))
         << '\n';
}

std::string where(const std::vector<std::string>& names, std::size_t sheet, Place p) {
    return names[sheet] + "!R" + std::to_string(p.first + 1) + "C" + std::to_string(p.second + 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: corpus_check IN.xls OUT.xls WRITES.tsv COMPUTED.tsv\n");
        return 2;
    }
    auto bytes = readFile(argv[1]);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::optional<Document> doc;
    try {
        doc.emplace(Document::parse(*bytes));
    } catch (const Error& e) {
        std::printf("refused\t%s\t%s\n", kindOf(e.kind()).c_str(), escape(e.what()).c_str());
        return 3;
    }
    const auto names = doc->worksheetNames();
    CompoundFile before = readCompoundFile(*bytes);
    RawBook rawBefore = readRaw(workbookStream(before));
    std::vector<const Substream*> rawSheets;
    for (const Substream& s : rawBefore.subs)
        if (s.worksheet) rawSheets.push_back(&s);
    if (rawSheets.size() != names.size()) rawSheets.assign(names.size(), nullptr);

    Checker check;
    std::vector<Cells> cellsBefore;
    std::vector<Write> writes;
    for (std::size_t s = 0; s < names.size(); ++s) {
        cellsBefore.push_back(cellsOf(*doc, s));
        for (Write& w : plan(s, cellsBefore[s], rawSheets[s], rawBefore)) writes.push_back(w);
    }
    std::vector<Write> done;
    for (const Write& w : writes) {
        try {
            doc->setCell(w.sheet, w.at.first, w.at.second, w.value);
            done.push_back(w);
        } catch (const Error& e) {
            Checker::note("write refused",
                          where(names, w.sheet, w.at) + " (" + w.why + "): " + escape(e.what()));
        }
    }
    std::vector<std::uint8_t> saved;
    try {
        saved = doc->serialize();
    } catch (const Error& e) {
        Checker::note("save refused", escape(e.what()));
    }
    std::printf("opened\t%zu worksheets\t%zu writes\n", names.size(), done.size());
    FormulaResults results;
    if (!saved.empty()) results = formulaResults(before, done);
    std::size_t left = 0;
    for (const auto& [why, n] : results.left) left += n;
    std::printf("formulas\t%zu\t%zu\t%zu\n", results.computed.size(), left,
                results.unknownDependencies);
    for (const auto& [why, n] : results.left) std::printf("left\t%s\t%zu\n", why.c_str(), n);
    std::optional<Document> again;
    if (!saved.empty()) {
        try {
            again.emplace(Document::parse(saved));
        } catch (const Error& e) {
            check.fail("saved copy unreadable", escape(e.what()));
        }
    }
    {
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(saved.data()),
                  static_cast<std::streamsize>(saved.size()));
        std::ofstream list(argv[3], std::ios::binary), computed(argv[4], std::ios::binary);
        for (const Write& w : done) listCell(list, names[w.sheet], w.at, w.value);
        if (again)
            for (const auto& [sheet, row, col] : results.computed)
                listCell(computed, names[sheet], {row, col}, again->cell(sheet, row, col));
        if (!out || !list || !computed) {
            std::fprintf(stderr, "cannot write %s, %s or %s\n", argv[2], argv[3], argv[4]);
            return 2;
        }
    }
    if (!again) return check.failures ? 1 : 0;
    std::set<std::pair<std::size_t, Place>> computed;
    for (const auto& [sheet, row, col] : results.computed) computed.insert({sheet, {row, col}});
    if (again->worksheetNames() != names) check.fail("worksheets changed", "");
    std::map<std::pair<std::size_t, Place>, const Write*> written;
    for (const Write& w : done) written[{w.sheet, w.at}] = &w;
    for (std::size_t s = 0; s < names.size(); ++s) {
        Cells after = cellsOf(*again, s);
        for (const auto& [p, v] : cellsBefore[s]) {
            if (written.count({s, p}) || computed.count({s, p})) continue;
            auto a = after.find(p);
            if (a == after.end())
                check.fail("cell lost", where(names, s, p) + " " + shown(v));
            else if (!(a->second == v) && !(std::isnan(v.number) && std::isnan(a->second.number)))
                check.fail("cell changed",
                           where(names, s, p) + " " + shown(v) + " -> " + shown(a->second));
        }
        for (const auto& [p, v] : after)
            if (!cellsBefore[s].count(p) && !written.count({s, p}))
                check.fail("cell appeared", where(names, s, p) + " " + shown(v));
    }
    for (const Write& w : done) {
        CellValue got = again->cell(w.sheet, w.at.first, w.at.second);
        if (!(got == w.value))
            check.fail("written cell reads back wrong", where(names, w.sheet, w.at) + " (" + w.why +
                                                            "): " + shown(w.value) + " -> " +
                                                            shown(got));
    }

    CompoundFile after = readCompoundFile(saved);
    if (otherStreams(after) != otherStreams(before)) {
        auto a = otherStreams(after), b = otherStreams(before);
        for (const auto& [name, content] : b)
            if (!a.count(name) || a[name] != content) check.fail("other stream changed", name);
        for (const auto& [name, content] : a)
            if (!b.count(name)) check.fail("other stream appeared", name);
    }
    RawBook rawAfter = readRaw(workbookStream(after));
    if (rawAfter.subs.size() != rawBefore.subs.size()) {
        check.fail("sheets changed", std::to_string(rawBefore.subs.size()) + " -> " +
                                         std::to_string(rawAfter.subs.size()));
        return 1;
    }
    std::size_t ws = 0;
    for (std::size_t k = 0; k < rawBefore.subs.size(); ++k) {
        const Substream& b = rawBefore.subs[k];
        const Substream& a = rawAfter.subs[k];
        std::size_t sheet = b.worksheet ? ws++ : SIZE_MAX;
        std::string name = b.worksheet ? names[sheet] : "sheet " + std::to_string(k + 1);
        auto isWritten = [&](Place p) { return b.worksheet && written.count({sheet, p}); };
        auto at = [&](Place p) {
            return name + "!R" + std::to_string(p.first + 1) + "C" + std::to_string(p.second + 1);
        };
        // Texts of sheets the engine keeps as records (macro sheets...).
        if (!b.worksheet)
            for (const auto& [p, isst] : b.labels) {
                auto l = a.labels.find(p);
                auto text = [](const RawBook& book, std::uint32_t i) {
                    return i < book.strings.size() ? book.strings[i]
                                                   : "(no string " + std::to_string(i) + ")";
                };
                if (l == a.labels.end() || text(rawAfter, l->second) != text(rawBefore, isst))
                    check.fail("text of another sheet changed",
                               at(p) + " " + escape(text(rawBefore, isst)));
            }
        for (const auto& [p, f] : b.formulas) {
            if (isWritten(p)) continue;
            auto g = a.formulas.find(p);
            if (g == a.formulas.end()) {
                check.fail("formula lost", at(p));
                continue;
            }
            auto was = resolve(b, p, f);
            auto now = resolve(a, p, g->second);
            if (was && !now)
                check.fail("formula points at a formula no longer there", at(p));
            else if (was && *was != *now)
                Checker::note("formula rewritten", at(p));
        }
        // Written text cells are plain text, not another cell's rich text.
        if (b.worksheet)
            for (const auto& [p, isst] : a.labels)
                if (isWritten(p) && isst < rawAfter.rich.size() && rawAfter.rich[isst])
                    check.fail("written text is rich text", at(p));
    }
    return check.failures ? 1 : 0;
}
