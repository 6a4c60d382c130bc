#include "book/workbook_stream.h"

#include "biff/record_stream.h"
#include "biff/records.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsType = 0x0005;
constexpr std::uint16_t kWorksheetType = 0x0010;
constexpr std::uint16_t kDefaultXf = 15;
constexpr std::uint16_t kTextFormat = 49; // the built-in "@"
constexpr std::uint32_t kRowsPerBlock = 32;

std::string at(std::size_t offset) {
    return "（偏移 " + std::to_string(offset) + "）";
}

bool isCellRecord(std::uint16_t id) {
    switch (id) {
    case rec::kFormula:
    case rec::kLabelSst:
    case rec::kLabel:
    case rec::kRString:
    case rec::kNumber:
    case rec::kRk:
    case rec::kMulRk:
    case rec::kBlank:
    case rec::kMulBlank:
    case rec::kBoolErr:
        return true;
    default:
        return false;
    }
}

// Records that belong to the formula cell before them.
bool isFormulaTrailer(std::uint16_t id) {
    return id == rec::kString || id == rec::kShrFmla || id == rec::kArray || id == rec::kTable ||
           id == rec::kContinue;
}

double decodeRk(std::uint32_t rk) {
    double v;
    if (rk & 2) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 1) ? v / 100 : v;
}

std::string errorText(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#N/A";
    }
}

// A formula whose whole expression refers to the shared formula anchored at
// (row, col).
bool sharesFormulaOf(const Cell& c, std::uint32_t row, std::uint16_t col) {
    ByteView d(c.data);
    return c.id == rec::kFormula && d.size() >= 27 && getU16(d, 20) == 5 && d[22] == 0x01 &&
           getU16(d, 23) == row && getU16(d, 25) == col;
}

// Writing over the first cell of a shared formula would take the formula
// from the cells that share it: the next of them takes it over, with the
// shared range starting there. Ranges of one row or one column only.
void handOverSharedFormula(Sheet& sheet, std::uint32_t row, std::uint16_t col,
                           std::vector<RawRecord>& trailers) {
    auto shared = std::find_if(trailers.begin(), trailers.end(),
                               [](const RawRecord& t) { return t.id == rec::kShrFmla; });
    if (shared == trailers.end() || shared->data.size() < 6) return;
    Bytes& ref = shared->data;
    std::uint16_t rowFirst = getU16(ref, 0), rowLast = getU16(ref, 2);
    std::uint8_t colFirst = ref[4], colLast = ref[5];
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
        setU16(c->data.data() + 23, static_cast<std::uint16_t>(heirRow));
        setU16(c->data.data() + 25, heir->col);
    }
    if (rowFirst == rowLast)
        ref[4] = static_cast<std::uint8_t>(heir->col);
    else
        setU16(ref.data(), static_cast<std::uint16_t>(heirRow));
    heir->trailers.insert(heir->trailers.begin(), std::move(*shared));
    trailers.erase(shared);
}

Bytes newRowRecord(std::uint32_t row, std::uint16_t height) {
    Bytes b;
    putU16(b, static_cast<std::uint16_t>(row));
    putU16(b, 0);
    putU16(b, 0);
    putU16(b, height);
    putU16(b, 0);
    putU16(b, 0);
    putU32(b, 0x000F0100);
    return b;
}

class Parser {
  public:
    explicit Parser(ByteView stream) : records_(splitRecords(stream)), stream_(stream) {}

    WorkbookStream parse() {
        checkFirstBof();
        parseGlobals();
        parseSubstreams();
        matchSheets();
        return std::move(wb_);
    }

  private:
    std::vector<RecordRef> records_;
    ByteView stream_;
    std::size_t next_ = 0;
    WorkbookStream wb_;
    std::vector<std::pair<std::size_t, std::uint32_t>> boundSheets_; // globals index, offset
    std::vector<std::size_t> sheetOffsets_;

    void checkFirstBof() {
        if (records_.empty()) throw damaged("工作簿流为空");
        const RecordRef& r = records_[0];
        if (r.id == rec::kBof2 || r.id == rec::kBof3 || r.id == rec::kBof4 ||
            (r.id == rec::kBof && r.data.size() >= 2 && getU16(r.data, 0) < kBiff8))
            throw Error(ErrorKind::OldVersion,
                        "文件是 Excel 5.0/95 或更早版本的工作簿，请在电子表格程序中另存为 "
                        "Excel 97–2003 工作簿（.xls）");
        if (r.id != rec::kBof || r.data.size() < 4) throw damaged("工作簿流不以 BOF 记录开始");
        if (getU16(r.data, 0) != kBiff8 || getU16(r.data, 2) != kGlobalsType)
            throw damaged("工作簿流的 BOF 记录不是 BIFF8 工作簿全局部分");
    }

    static std::vector<ByteView> continued(const std::vector<RecordRef>& recs, std::size_t& i) {
        std::vector<ByteView> parts{recs[i].data};
        while (i + 1 < recs.size() && recs[i + 1].id == rec::kContinue)
            parts.push_back(recs[++i].data);
        return parts;
    }

    // Damage found inside a record is reported with the record and its place.
    static Error located(const Error& e, const char* part, const RecordRef& r) {
        if (e.kind() != ErrorKind::Damaged) return e;
        std::string what = e.what();
        std::string_view name = rec::name(r.id);
        return Error(ErrorKind::Damaged,
                     what + "（" + part + "的 " +
                         (name.empty() ? std::to_string(r.id) : std::string(name)) + " 记录" +
                         at(r.offset) + "）");
    }

    void parseGlobals() {
        for (; next_ < records_.size(); ++next_) {
            const RecordRef& r = records_[next_];
            GlobalStep step;
            try {
                step = globalRecord(r);
            } catch (const Error& e) {
                throw located(e, "工作簿全局部分", r);
            }
            if (step == GlobalStep::Keep)
                wb_.globals.push_back({r.id, Bytes(r.data.begin(), r.data.end())});
            if (r.id == rec::kEof) {
                ++next_;
                return;
            }
        }
        throw damaged("工作簿全局部分没有 EOF 记录");
    }

    enum class GlobalStep { Keep, Drop };

    GlobalStep globalRecord(const RecordRef& r) {
        {
            const std::string where;
            ByteReader in(r.data, where);
            switch (r.id) {
            case rec::kFilePass:
                throw Error(ErrorKind::Encrypted,
                            "工作簿设有打开密码（已加密），请在电子表格程序中取消密码后再使用");
            case rec::kCodePage:
                wb_.codePage = in.u16();
                break;
            case rec::kDateMode:
                wb_.date1904 = in.u16() != 0;
                break;
            case rec::kXf:
                in.skip(2);
                wb_.xfFormats.push_back(in.u16());
                break;
            case rec::kFormat: {
                std::uint16_t ifmt = in.u16();
                ContinuedReader s({r.data.subspan(2)}, where);
                wb_.formats[ifmt] = readUnicodeString(s);
                break;
            }
            case rec::kBoundSheet: {
                std::uint32_t pos = in.u32();
                boundSheets_.emplace_back(wb_.globals.size(), pos);
                break;
            }
            case rec::kSst: {
                wb_.sstAt = wb_.globals.size();
                parseSst(continued(records_, next_), where);
                return GlobalStep::Drop; // the table is rebuilt on write
            }
            case rec::kExtSst:
                wb_.stringsPerBucket = in.u16();
                return GlobalStep::Drop;
            default:
                break;
            }
        }
        return GlobalStep::Keep;
    }

    void parseSst(std::vector<ByteView> parts, const std::string& where) {
        ContinuedReader r(std::move(parts), where);
        r.u32(); // total references, counted again on write
        std::uint32_t unique = r.u32();
        for (std::uint32_t i = 0; i < unique && !r.atEnd(); ++i) {
            SharedString s = readSharedString(r);
            wb_.stringIndex.emplace(s.text, static_cast<std::uint32_t>(wb_.strings.size()));
            wb_.strings.push_back(std::move(s));
        }
    }

    void parseSubstreams() {
        while (next_ < records_.size()) {
            const RecordRef& bof = records_[next_];
            if (bof.id != rec::kBof || bof.data.size() < 4)
                throw damaged("工作表部分不以 BOF 记录开始" + at(bof.offset));
            Sheet sheet;
            sheet.worksheet = getU16(bof.data, 2) == kWorksheetType;
            sheetOffsets_.push_back(bof.offset);
            parseSheet(sheet);
            wb_.sheets.push_back(std::move(sheet));
        }
        std::size_t end =
            records_.empty() ? 0 : records_.back().offset + 4 + records_.back().data.size();
        wb_.tail.assign(stream_.begin() + end, stream_.end());
    }

    void parseSheet(Sheet& sheet) {
        Part part = Before;
        int depth = 0;
        Cell* last = nullptr;
        std::uint32_t group = 0;
        for (; next_ < records_.size(); ++next_) {
            const RecordRef& r = records_[next_];
            RawRecord raw{r.id, Bytes(r.data.begin(), r.data.end())};
            if (r.id == rec::kBof) ++depth;
            bool nested = depth > 1;
            if (r.id == rec::kEof && --depth == 0) {
                sheet.after.push_back(std::move(raw));
                ++next_;
                addMissingRows(sheet);
                readFormulaStrings(sheet);
                return;
            }
            if (!sheet.worksheet || nested) {
                (part == Before ? sheet.before : sheet.after).push_back(std::move(raw));
                continue;
            }
            try {
                if (sheetRecord(sheet, r, raw, part, last, group)) continue;
            } catch (const Error& e) {
                throw located(e, "工作表部分", r);
            }
            (part == Before ? sheet.before : sheet.after).push_back(std::move(raw));
        }
        throw damaged("工作表部分没有 EOF 记录");
    }

    enum Part { Before, Table, After };

    // Takes a worksheet record into the model; false when it is kept as it is.
    bool sheetRecord(Sheet& sheet, const RecordRef& r, RawRecord& raw, Part& part, Cell*& last,
                     std::uint32_t& group) {
        const std::string where;
        if (r.id == rec::kIndex || r.id == rec::kDbCell) sheet.indexed = true;
        if (r.id == rec::kRow || r.id == rec::kDbCell || isCellRecord(r.id)) {
            part = Table;
            if (r.id == rec::kRow) readRow(sheet, r.data, where);
            if (isCellRecord(r.id)) last = readCell(sheet, r.id, r.data, where, ++group);
            return true;
        }
        if (part == Table && isFormulaTrailer(r.id) && last) {
            last->trailers.push_back(std::move(raw));
            return true;
        }
        if (part == Table) part = After;
        ByteReader in(r.data, where);
        if (r.id == rec::kColInfo) {
            std::uint16_t first = in.u16(), lastCol = in.u16();
            in.skip(2);
            sheet.columns.push_back({first, lastCol, in.u16()});
        } else if (r.id == rec::kDefaultRowHeight) {
            in.skip(2);
            sheet.defaultRowHeight = in.u16();
        }
        return false;
    }

    // Rows with cells but no ROW record get one, so the table can be indexed.
    static void addMissingRows(Sheet& sheet) {
        for (auto& [index, row] : sheet.rows) {
            if (row.record) continue;
            row.record = newRowRecord(index, sheet.defaultRowHeight);
            setU16(row.record->data() + 2, row.cells.front().col);
            setU16(row.record->data() + 4, static_cast<std::uint16_t>(row.cells.back().col + 1));
        }
    }

    // A formula whose cached result is a string takes it from the STRING
    // record (and its CONTINUEs) after it; other STRING records are kept as
    // they are without being read.
    static void readFormulaStrings(Sheet& sheet) {
        for (auto& [r, row] : sheet.rows)
            for (Cell& c : row.cells)
                if (c.id == rec::kFormula && getU16(c.data, 12) == 0xFFFF && c.data[6] == 0 &&
                    std::any_of(c.trailers.begin(), c.trailers.end(),
                                [](const RawRecord& t) { return t.id == rec::kString; }))
                    c.text = formulaString(c.trailers, "公式的字符串结果");
    }

    static std::string formulaString(const std::vector<RawRecord>& trailers,
                                     const std::string& where) {
        std::vector<ByteView> parts;
        for (const RawRecord& t : trailers) {
            if (t.id == rec::kString) parts.clear();
            if (t.id == rec::kString || (t.id == rec::kContinue && !parts.empty()))
                parts.push_back(t.data);
        }
        ContinuedReader r(parts, where);
        return readUnicodeString(r);
    }

    void readRow(Sheet& sheet, ByteView data, const std::string& where) {
        ByteReader in(data, where);
        in.need(16);
        sheet.rows[in.u16()].record = Bytes(data.begin(), data.begin() + 16);
    }

    Cell& place(Sheet& sheet, std::uint32_t row, Cell cell) {
        auto& cells = sheet.rows[row].cells;
        auto it = std::lower_bound(cells.begin(), cells.end(), cell.col,
                                   [](const Cell& c, std::uint16_t col) { return c.col < col; });
        if (it != cells.end() && it->col == cell.col) {
            *it = std::move(cell);
            return *it;
        }
        return *cells.insert(it, std::move(cell));
    }

    Cell* readCell(Sheet& sheet, std::uint16_t id, ByteView data, const std::string& where,
                   std::uint32_t group) {
        ByteReader in(data, where);
        std::uint16_t row = in.u16(), col = in.u16();
        if (id == rec::kMulRk || id == rec::kMulBlank)
            return readMulti(sheet, id, data, where, group);
        std::uint16_t xf = in.u16();
        (void)xf;
        Cell cell;
        cell.col = col;
        cell.id = id;
        cell.data.assign(data.begin(), data.end());
        switch (id) {
        // Values are turned into text when read (valueText); here their
        // records are only checked.
        case rec::kNumber:
            in.need(8);
            break;
        case rec::kRk:
            in.need(4);
            break;
        case rec::kBlank:
            break;
        case rec::kBoolErr:
            in.need(2);
            break;
        case rec::kLabelSst: {
            std::uint32_t isst = in.u32();
            if (isst >= wb_.strings.size())
                throw damaged(where + "引用了不存在的共享字符串 " + std::to_string(isst));
            break;
        }
        case rec::kLabel:
        case rec::kRString: {
            ContinuedReader s({data.subspan(6)}, where);
            cell.text = readUnicodeString(s);
            break;
        }
        case rec::kFormula: {
            in.need(14); // cached result, options, reserved; a string result follows
            break;
        }
        default:
            break;
        }
        return &place(sheet, row, std::move(cell));
    }

    Cell* readMulti(Sheet& sheet, std::uint16_t id, ByteView data, const std::string& where,
                    std::uint32_t group) {
        std::size_t each = id == rec::kMulRk ? 6 : 2;
        if (data.size() < 6 || (data.size() - 6) % each != 0) throw damaged(where + "长度无效");
        std::uint16_t row = getU16(data, 0), first = getU16(data, 2);
        std::size_t n = (data.size() - 6) / each;
        if (n == 0 || getU16(data, data.size() - 2) != first + n - 1)
            throw damaged(where + "的列范围与长度不符");
        Cell* lastCell = nullptr;
        auto& cells = sheet.rows[row].cells;
        cells.reserve(cells.size() + n);
        for (std::size_t k = 0; k < n; ++k) {
            ByteView item = data.subspan(4 + k * each, each);
            Cell cell;
            cell.col = static_cast<std::uint16_t>(first + k);
            cell.id = id == rec::kMulRk ? rec::kRk : rec::kBlank;
            cell.data.reserve(4 + each);
            putU16(cell.data, row);
            putU16(cell.data, cell.col);
            putBytes(cell.data, item);
            cell.group = group;
            lastCell = &place(sheet, row, std::move(cell));
        }
        return lastCell;
    }

    void matchSheets() {
        for (auto [index, offset] : boundSheets_) {
            auto it = std::find(sheetOffsets_.begin(), sheetOffsets_.end(), offset);
            if (it == sheetOffsets_.end())
                throw damaged("工作表目录指向的位置 " + std::to_string(offset) + " 没有工作表");
            Sheet& sheet = wb_.sheets[it - sheetOffsets_.begin()];
            const Bytes& b = wb_.globals[index].data;
            ContinuedReader name({ByteView(b).subspan(std::min<std::size_t>(6, b.size()))},
                                 "工作表目录记录");
            sheet.name = readUnicodeString(name, true);
            sheet.boundSheet = index;
        }
    }
};

// ---- writing ----

void putRecord(Bytes& out, std::uint16_t id, ByteView data) {
    putU16(out, id);
    putU16(out, static_cast<std::uint16_t>(data.size()));
    putBytes(out, data);
}

void writeSst(Bytes& out, const WorkbookStream& wb) {
    std::uint32_t total = 0;
    for (const Sheet& s : wb.sheets)
        for (const auto& [r, row] : s.rows)
            for (const Cell& c : row.cells) total += c.id == rec::kLabelSst;
    const std::size_t n = wb.strings.size();
    // At most 128 buckets of at least 8 strings; the stored bucket size stays
    // while it meets both.
    std::size_t perBucket = std::max<std::size_t>(8, (n + 127) / 128);
    if (wb.stringsPerBucket >= perBucket) perBucket = wb.stringsPerBucket;
    Bytes ext;
    putU16(ext, static_cast<std::uint16_t>(perBucket));
    ContinuedWriter w(out, rec::kSst);
    Bytes counts;
    putU32(counts, total);
    putU32(counts, static_cast<std::uint32_t>(n));
    w.put(counts);
    for (std::size_t i = 0; i < n; ++i) {
        auto [pos, inRecord] = writeSharedString(w, wb.strings[i]);
        if (i % perBucket == 0) {
            putU32(ext, static_cast<std::uint32_t>(pos));
            putU16(ext, static_cast<std::uint16_t>(inRecord));
            putU16(ext, 0);
        }
    }
    w.finish();
    putRecord(out, rec::kExtSst, ext);
}

// Drops shared strings no cell refers to any more, renumbering the cells.
void compactStrings(WorkbookStream& wb) {
    std::vector<std::uint32_t> uses(wb.strings.size(), 0);
    for (const Sheet& s : wb.sheets)
        for (const auto& [r, row] : s.rows)
            for (const Cell& c : row.cells)
                if (c.id == rec::kLabelSst) ++uses[getU32(c.data, 6)];
    if (std::find(uses.begin(), uses.end(), 0u) == uses.end()) return;
    std::vector<std::uint32_t> renumber(wb.strings.size());
    std::vector<SharedString> kept;
    for (std::size_t i = 0; i < wb.strings.size(); ++i) {
        renumber[i] = static_cast<std::uint32_t>(kept.size());
        if (uses[i]) kept.push_back(std::move(wb.strings[i]));
    }
    wb.strings = std::move(kept);
    wb.stringIndex.clear();
    for (std::size_t i = 0; i < wb.strings.size(); ++i)
        wb.stringIndex.emplace(wb.strings[i].text, static_cast<std::uint32_t>(i));
    for (Sheet& s : wb.sheets)
        for (auto& [r, row] : s.rows)
            for (Cell& c : row.cells)
                if (c.id == rec::kLabelSst) setU32(c.data.data() + 6, renumber[getU32(c.data, 6)]);
}

// Cells of one row; runs of one former MULRK/MULBLANK are joined again.
void writeRowCells(Bytes& out, std::uint32_t rowIndex, const std::vector<Cell>& cells) {
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i + 1;
        if (cells[i].group != 0)
            while (j < cells.size() && cells[j].group == cells[i].group &&
                   cells[j].col == cells[j - 1].col + 1)
                ++j;
        if (j - i >= 2) {
            bool rk = cells[i].id == rec::kRk;
            Bytes data;
            putU16(data, static_cast<std::uint16_t>(rowIndex));
            putU16(data, cells[i].col);
            for (std::size_t k = i; k < j; ++k)
                putBytes(data, ByteView(cells[k].data).subspan(4, rk ? 6 : 2));
            putU16(data, cells[j - 1].col);
            putRecord(out, rk ? rec::kMulRk : rec::kMulBlank, data);
        } else {
            putRecord(out, cells[i].id, cells[i].data);
        }
        for (std::size_t k = i; k < j; ++k)
            for (const RawRecord& t : cells[k].trailers) putRecord(out, t.id, t.data);
        i = j;
    }
}

struct TableLayout {
    std::vector<std::uint32_t> dbCells; // stream positions
};

TableLayout writeCellTable(Bytes& out, const Sheet& sheet) {
    TableLayout layout;
    auto it = sheet.rows.begin();
    while (it != sheet.rows.end()) {
        std::uint32_t block = it->first / kRowsPerBlock;
        auto end = it;
        while (end != sheet.rows.end() && end->first / kRowsPerBlock == block) ++end;
        std::size_t firstRow = out.size();
        for (auto r = it; r != end; ++r) putRecord(out, rec::kRow, *r->second.record);
        std::vector<std::size_t> cellStarts;
        for (auto r = it; r != end; ++r) {
            cellStarts.push_back(out.size());
            writeRowCells(out, r->first, r->second.cells);
        }
        it = end;
        if (!sheet.indexed) continue; // a table written without DBCELL records stays so
        std::size_t dbCell = out.size();
        Bytes data;
        putU32(data, static_cast<std::uint32_t>(dbCell - firstRow));
        std::size_t from = firstRow + 20; // end of the first ROW record
        for (std::size_t start : cellStarts) {
            putU16(data, static_cast<std::uint16_t>(start - from));
            from = start;
        }
        putRecord(out, rec::kDbCell, data);
        layout.dbCells.push_back(static_cast<std::uint32_t>(dbCell));
    }
    return layout;
}

void writeDimensions(Bytes& out, const Sheet& sheet, ByteView original) {
    if (!sheet.touched && original.size() >= 14) {
        putRecord(out, rec::kDimensions, original);
        return;
    }
    std::uint32_t rowFirst = UINT32_MAX, rowLast = 0;
    std::uint16_t colFirst = UINT16_MAX, colLast = 0;
    for (const auto& [r, row] : sheet.rows) {
        if (row.cells.empty()) continue;
        rowFirst = std::min(rowFirst, r);
        rowLast = std::max(rowLast, r + 1);
        colFirst = std::min(colFirst, row.cells.front().col);
        colLast = std::max<std::uint16_t>(colLast, row.cells.back().col + 1);
    }
    if (original.size() >= 12) { // keep the stored area as well
        if (getU32(original, 4) > getU32(original, 0)) {
            rowFirst = std::min(rowFirst, getU32(original, 0));
            rowLast = std::max(rowLast, getU32(original, 4));
        }
        if (getU16(original, 10) > getU16(original, 8)) {
            colFirst = std::min(colFirst, getU16(original, 8));
            colLast = std::max(colLast, getU16(original, 10));
        }
    }
    if (rowFirst == UINT32_MAX) rowFirst = rowLast = 0;
    if (colFirst == UINT16_MAX) colFirst = colLast = 0;
    Bytes data;
    putU32(data, rowFirst);
    putU32(data, rowLast);
    putU16(data, colFirst);
    putU16(data, colLast);
    putU16(data, 0);
    putRecord(out, rec::kDimensions, data);
}

void writeSheet(Bytes& out, const WorkbookStream& wb, const Sheet& sheet) {
    if (!sheet.worksheet) {
        for (const RawRecord& r : sheet.before) putRecord(out, r.id, r.data);
        for (const RawRecord& r : sheet.after) putRecord(out, r.id, r.data);
        return;
    }
    std::size_t blocks = 0;
    {
        std::uint32_t lastBlock = UINT32_MAX;
        for (const auto& [r, row] : sheet.rows)
            if (r / kRowsPerBlock != lastBlock) ++blocks, lastBlock = r / kRowsPerBlock;
    }
    bool hasUncalced = std::any_of(sheet.before.begin(), sheet.before.end(),
                                   [](const RawRecord& r) { return r.id == rec::kUncalced; });
    bool hasDimensions = std::any_of(sheet.before.begin(), sheet.before.end(),
                                     [](const RawRecord& r) { return r.id == rec::kDimensions; });
    std::size_t indexPos = SIZE_MAX, defColWidthPos = 0;
    for (std::size_t i = 0; i < sheet.before.size(); ++i) {
        const RawRecord& r = sheet.before[i];
        if (r.id == rec::kIndex) {
            indexPos = out.size();
            putRecord(out, rec::kIndex, Bytes(16 + 4 * blocks, 0));
        } else if (r.id == rec::kDimensions) {
            writeDimensions(out, sheet, r.data);
        } else {
            if (r.id == rec::kDefColWidth) defColWidthPos = out.size();
            putRecord(out, r.id, r.data);
        }
        // After a change the sheet asks to be recalculated when opened.
        if (i == 0 && wb.changed && !hasUncalced) putRecord(out, rec::kUncalced, Bytes(2, 0));
    }
    if (!hasDimensions && !sheet.rows.empty()) writeDimensions(out, sheet, {});
    TableLayout layout = writeCellTable(out, sheet);
    for (const RawRecord& r : sheet.after) putRecord(out, r.id, r.data);
    if (indexPos != SIZE_MAX) {
        std::uint8_t* p = out.data() + indexPos + 4;
        std::uint32_t first = sheet.rows.empty() ? 0 : sheet.rows.begin()->first;
        std::uint32_t last = sheet.rows.empty() ? 0 : sheet.rows.rbegin()->first + 1;
        setU32(p, 0);
        setU32(p + 4, first);
        setU32(p + 8, last);
        setU32(p + 12, static_cast<std::uint32_t>(defColWidthPos));
        for (std::size_t k = 0; k < layout.dbCells.size(); ++k)
            setU32(p + 16 + 4 * k, layout.dbCells[k]);
    }
}

std::uint16_t defaultXf(const WorkbookStream& wb, const Sheet& sheet, const Row& row,
                        std::uint16_t col) {
    std::uint16_t xf = kDefaultXf;
    bool found = false;
    if (row.record) {
        std::uint32_t flags = getU32(*row.record, 12);
        if (flags & 0x80) xf = static_cast<std::uint16_t>((flags >> 16) & 0x0FFF), found = true;
    }
    if (!found)
        for (const ColumnFormat& c : sheet.columns)
            if (col >= c.first && col <= c.last) {
                xf = c.xf;
                break;
            }
    return xf < wb.xfFormats.size() ? xf : kDefaultXf;
}

} // namespace

WorkbookStream readWorkbookStream(ByteView stream) {
    return Parser(stream).parse();
}

Bytes writeWorkbookStream(WorkbookStream& wb) {
    compactStrings(wb);
    Bytes out;
    out.reserve(64 * 1024);
    std::vector<std::size_t> boundSheetPos(wb.globals.size(), SIZE_MAX);
    bool sstWritten = false;
    for (std::size_t i = 0; i < wb.globals.size(); ++i) {
        const RawRecord& r = wb.globals[i];
        bool needSst = !wb.strings.empty() || wb.sstAt != SIZE_MAX;
        if (!sstWritten && needSst && (i == wb.sstAt || r.id == rec::kEof)) {
            writeSst(out, wb);
            sstWritten = true;
        }
        if (r.id == rec::kBoundSheet) boundSheetPos[i] = out.size() + 4;
        putRecord(out, r.id, r.data);
    }
    for (const Sheet& sheet : wb.sheets) {
        std::size_t start = out.size();
        if (sheet.boundSheet != SIZE_MAX)
            setU32(out.data() + boundSheetPos[sheet.boundSheet], static_cast<std::uint32_t>(start));
        writeSheet(out, wb, sheet);
    }
    putBytes(out, wb.tail);
    return out;
}

Sheet* WorkbookStream::sheet(std::string_view name) {
    for (Sheet& s : sheets)
        if (s.worksheet && s.name == name) return &s;
    return nullptr;
}

bool WorkbookStream::isTextFormat(std::uint16_t xf) const {
    if (xf >= xfFormats.size()) return false;
    std::uint16_t ifmt = xfFormats[xf];
    if (ifmt == kTextFormat) return true;
    auto it = formats.find(ifmt);
    return it != formats.end() && it->second == "@";
}

CellValue cellValue(const WorkbookStream& wb, const Cell& c) {
    ByteView d(c.data);
    switch (c.id) {
    case rec::kNumber:
        return CellValue::ofNumber(getF64(d, 6));
    case rec::kRk:
        return CellValue::ofNumber(decodeRk(getU32(d, 6)));
    case rec::kBoolErr:
        return d[7] != 0 ? CellValue::ofError(errorText(d[6])) : CellValue::ofBoolean(d[6] != 0);
    case rec::kLabelSst:
        return CellValue::ofText(wb.strings[getU32(d, 6)].text);
    case rec::kFormula:
        if (getU16(d, 12) != 0xFFFF) return CellValue::ofNumber(getF64(d, 6));
        if (d[6] == 1) return CellValue::ofBoolean(d[8] != 0);
        if (d[6] == 2) return CellValue::ofError(errorText(d[8]));
        return CellValue::ofText(c.text); // from the STRING record, or empty
    case rec::kBlank:
        return CellValue::empty();
    default:
        return CellValue::ofText(c.text); // inline strings
    }
}

namespace {

const Cell* findCell(const Sheet& sheet, std::uint32_t row, std::uint16_t col) {
    auto r = sheet.rows.find(row);
    if (r == sheet.rows.end()) return nullptr;
    const auto& cells = r->second.cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), col,
                               [](const Cell& c, std::uint16_t k) { return c.col < k; });
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

} // namespace

CellValue cellValue(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                    std::uint16_t col) {
    const Cell* c = findCell(sheet, row, col);
    return c ? cellValue(wb, *c) : CellValue::empty();
}

bool isTextFormatted(const WorkbookStream& wb, const Sheet& sheet, std::uint32_t row,
                     std::uint16_t col) {
    if (const Cell* c = findCell(sheet, row, col)) return wb.isTextFormat(c->xf());
    static const Row none;
    auto r = sheet.rows.find(row);
    return wb.isTextFormat(defaultXf(wb, sheet, r == sheet.rows.end() ? none : r->second, col));
}

void setCellValue(WorkbookStream& wb, Sheet& sheet, std::uint32_t row, std::uint16_t col,
                  const CellValue& value) {
    const bool empty = value.kind == CellValue::Kind::Empty;
    auto rowIt = sheet.rows.find(row);
    if (rowIt == sheet.rows.end()) {
        if (empty) return; // nothing there, nothing to keep
        rowIt = sheet.rows.emplace(row, Row{}).first;
    }
    Row& r = rowIt->second;
    auto& cells = r.cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), col,
                               [](const Cell& c, std::uint16_t k) { return c.col < k; });
    bool exists = it != cells.end() && it->col == col;
    if (!exists && empty) return;
    std::uint16_t xf = exists ? it->xf() : defaultXf(wb, sheet, r, col);
    if (exists && it->id == rec::kFormula) handOverSharedFormula(sheet, row, col, it->trailers);

    Cell cell;
    cell.col = col;
    putU16(cell.data, static_cast<std::uint16_t>(row));
    putU16(cell.data, col);
    putU16(cell.data, xf);
    switch (value.kind) {
    case CellValue::Kind::Number:
        cell.id = rec::kNumber;
        putF64(cell.data, value.number);
        break;
    case CellValue::Kind::Text: {
        auto found = wb.stringIndex.find(value.text);
        std::uint32_t isst;
        if (found != wb.stringIndex.end()) {
            isst = found->second;
        } else {
            isst = static_cast<std::uint32_t>(wb.strings.size());
            wb.strings.push_back(makeSharedString(value.text));
            wb.stringIndex.emplace(value.text, isst);
        }
        cell.id = rec::kLabelSst;
        putU32(cell.data, isst);
        break;
    }
    default:
        cell.id = rec::kBlank;
        break;
    }
    if (exists)
        *it = std::move(cell);
    else
        cells.insert(it, std::move(cell));

    if (!r.record) r.record = newRowRecord(row, sheet.defaultRowHeight);
    std::uint8_t* rr = r.record->data();
    setU16(rr + 2, cells.front().col);
    setU16(rr + 4, static_cast<std::uint16_t>(cells.back().col + 1));
    r.touched = sheet.touched = wb.changed = true;
}

} // namespace lanqi::xls
