#include "biff/record_stream.h"
#include "biff/records.h"
#include "book/formula_trailers.h"
#include "book/row_record.h"
#include "book/workbook_stream.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace lanqi::xls {
namespace {

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

// The payload of a record whose fields are about to be read, checked to
// hold the record's fixed part: the one size check before reading.
ByteView fields(const RecordRef& r) {
    if (r.data.size() < rec::fixedSize(r.id)) throw damaged("数据不完整");
    return r.data;
}

// The payload of a record that only tells the engine something it can do
// without (how cells look, a column's format, the height of new rows, the
// spacing of the string index); nullopt when it is too short to say it. Such a record is
// kept as it is, short or not: other programs read it, and some write it so.
std::optional<ByteView> hintFields(const RecordRef& r) {
    if (r.data.size() < rec::fixedSize(r.id)) return std::nullopt;
    return r.data;
}

// A record and the CONTINUE records after it; `i` moves to the last of them.
std::vector<ByteView> continued(const std::vector<RecordRef>& recs, std::size_t& i) {
    std::vector<ByteView> parts{recs[i].data};
    while (i + 1 < recs.size() && recs[i + 1].id == rec::kContinue) parts.push_back(recs[++i].data);
    return parts;
}

// Damage found inside a record is reported with the record and its place.
Error located(const Error& e, const char* part, const RecordRef& r) {
    if (e.kind() != ErrorKind::Damaged) return e;
    std::string what = e.what();
    std::string_view name = rec::name(r.id);
    return Error(ErrorKind::Damaged, what + "（" + part + "的 " +
                                         (name.empty() ? std::to_string(r.id) : std::string(name)) +
                                         " 记录" + at(r.offset) + "）");
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

// Rows with cells but no ROW record get one, so the table can be indexed.
void addMissingRows(Sheet& sheet) {
    for (auto& [index, row] : sheet.rows) {
        if (row.record) continue;
        row.record = newRowRecord(index, sheet.defaultRowHeight);
        spanRowColumns(row);
    }
}

} // namespace

// Reads the records in stream order: the globals up to their EOF, then one
// substream (sheet) after the other, then matches the sheet list to them.
class WorkbookReader {
  public:
    WorkbookReader(ByteView stream, bool decrypted)
        : records_(splitRecords(stream)), stream_(stream), decrypted_(decrypted) {}

    WorkbookStream read() {
        checkFirstBof();
        readGlobals();
        readSubstreams();
        matchSheets();
        return std::move(wb_);
    }

  private:
    std::vector<RecordRef> records_;
    ByteView stream_;
    bool decrypted_;
    std::size_t next_ = 0;
    WorkbookStream wb_;
    std::vector<std::pair<std::size_t, std::uint32_t>> boundSheets_; // globals index, offset
    std::vector<std::size_t> sheetOffsets_;

    void checkFirstBof() {
        if (records_.empty()) throw damaged("工作簿流为空");
        const RecordRef& r = records_[0];
        if (r.id == rec::kBof2 || r.id == rec::kBof3 || r.id == rec::kBof4 ||
            (r.id == rec::kBof && r.data.size() >= kBofType /* the version is there */ &&
             getU16(r.data, kBofVersion) < kBiff8))
            throw Error(ErrorKind::OldVersion,
                        "文件是 Excel 5.0/95 或更早版本的工作簿，请在电子表格程序中另存为 "
                        "Excel 97–2003 工作簿（.xls）");
        if (r.id != rec::kBof || r.data.size() < rec::fixedSize(r.id))
            throw damaged("工作簿流不以 BOF 记录开始");
        if (getU16(r.data, kBofVersion) != kBiff8 || getU16(r.data, kBofType) != kGlobalsType)
            throw damaged("工作簿流的 BOF 记录不是 BIFF8 工作簿全局部分");
    }

    // ---- the globals ----

    void readGlobals() {
        for (; next_ < records_.size(); ++next_) {
            const RecordRef& r = records_[next_];
            bool keep;
            try {
                keep = globalRecord(r);
            } catch (const Error& e) {
                throw located(e, "工作簿全局部分", r);
            }
            if (keep) wb_.globals_.push_back({r.id, Bytes(r.data.begin(), r.data.end())});
            if (r.id == rec::kEof) {
                ++next_;
                return;
            }
        }
        throw damaged("工作簿全局部分没有 EOF 记录");
    }

    // Takes what the engine needs from a globals record; false for the
    // records that are rebuilt on write and so not kept.
    bool globalRecord(const RecordRef& r) {
        switch (r.id) {
        case rec::kFilePass:
            // Kept, to be written again with a new salt; what follows is
            // readable only once the stream was decrypted.
            if (!decrypted_)
                throw Error(ErrorKind::Encrypted,
                            "工作簿已加密，请在电子表格程序中取消密码后再使用");
            break;
        // Exporters write formatting records a few bytes short. Each XF
        // still counts, so that the cells' format numbers stay right; one
        // without its number format has the general one.
        case rec::kXf: {
            auto d = hintFields(r);
            wb_.xfFormats_.push_back(d ? getU16(*d, kXfFormat) : 0);
            break;
        }
        case rec::kFormat:
            if (auto d = hintFields(r))
                wb_.formats_[getU16(*d, kFormatIndex)] = readStringPrefix(d->subspan(kFormatString));
            break;
        case rec::kBoundSheet:
            boundSheets_.emplace_back(wb_.globals_.size(), getU32(fields(r), kBoundSheetPosition));
            break;
        case rec::kSst:
            fields(r);
            wb_.sstAt_ = wb_.globals_.size();
            readSst(continued(records_, next_));
            return false;
        case rec::kExtSst:
            if (auto d = hintFields(r)) wb_.stringsPerBucket_ = getU16(*d, kExtSstPerBucket);
            return false;
        default:
            break;
        }
        return true;
    }

    // SST: total references u32 (counted again on write) | unique strings u32 | strings.
    void readSst(std::vector<ByteView> parts) {
        ContinuedReader r(std::move(parts), "");
        r.u32();
        std::uint32_t unique = r.u32();
        for (std::uint32_t i = 0; i < unique && !r.atEnd(); ++i) {
            SharedString s = readSharedString(r);
            if (s.plain())
                wb_.stringIndex_.emplace(s.text, static_cast<std::uint32_t>(wb_.strings_.size()));
            wb_.strings_.push_back(std::move(s));
        }
    }

    // ---- the sheets ----

    void readSubstreams() {
        while (next_ < records_.size()) {
            const RecordRef& bof = records_[next_];
            if (bof.id != rec::kBof || bof.data.size() < rec::fixedSize(bof.id))
                throw damaged("工作表部分不以 BOF 记录开始" + at(bof.offset));
            Sheet sheet;
            sheet.worksheet = getU16(bof.data, kBofType) == kWorksheetType;
            sheetOffsets_.push_back(bof.offset);
            readSheet(sheet);
            wb_.sheets_.push_back(std::move(sheet));
        }
        std::size_t end = records_.empty() ? 0
                                           : records_.back().offset + rec::kHeaderSize +
                                                 records_.back().data.size();
        ByteView tail = stream_.subspan(end);
        wb_.tail_.assign(tail.begin(), tail.end());
    }

    enum Part { Before, Table, After };

    // Where a worksheet's reading stands: the part, the last cell read (the
    // one trailers belong to) and the group of the last MULRK/MULBLANK.
    struct SheetState {
        Part part = Before;
        Cell* last = nullptr;
        std::uint32_t group = 0;
    };

    void readSheet(Sheet& sheet) {
        SheetState state;
        int depth = 0;
        for (; next_ < records_.size(); ++next_) {
            const RecordRef& r = records_[next_];
            RawRecord raw{r.id, Bytes(r.data.begin(), r.data.end())};
            if (r.id == rec::kBof) ++depth;
            bool nested = depth > 1;
            if (r.id == rec::kEof && --depth == 0) {
                sheet.after.push_back(std::move(raw));
                if (sheet.worksheet && state.part == Before) placeEmptyTable(sheet);
                ++next_;
                addMissingRows(sheet);
                readFormulaStrings(sheet);
                return;
            }
            if (sheet.worksheet && !nested) {
                try {
                    if (sheetRecord(sheet, r, raw, state)) continue;
                } catch (const Error& e) {
                    throw located(e, "工作表部分", r);
                }
            }
            (state.part == Before ? sheet.before : sheet.after).push_back(std::move(raw));
        }
        throw damaged("工作表部分没有 EOF 记录");
    }

    // Takes a worksheet record into the model; false when it is kept as it is.
    bool sheetRecord(Sheet& sheet, const RecordRef& r, RawRecord& raw, SheetState& state) {
        if (r.id == rec::kIndex || r.id == rec::kDbCell) sheet.indexed = true;
        if (r.id == rec::kRow || r.id == rec::kDbCell || isCellRecord(r.id)) {
            state.part = Table;
            if (r.id == rec::kRow) readRow(sheet, fields(r));
            // Trailers belong only to the cell right before them.
            state.last =
                isCellRecord(r.id) ? readCell(sheet, r.id, fields(r), ++state.group) : nullptr;
            return true;
        }
        if (state.part == Table && isFormulaTrailer(r.id)) {
            // One with no cell before it has no meaning; kept, it would be
            // taken for a formula's once the table is written anew, so it
            // is dropped.
            fields(r);
            if (state.last) state.last->trailers.push_back(std::move(raw));
            return true;
        }
        if (state.part == Table) state.part = After;
        if (r.id == rec::kColInfo) {
            if (auto d = hintFields(r))
                sheet.columns.push_back(
                    {getU16(*d, kColInfoFirst), getU16(*d, kColInfoLast), getU16(*d, kColInfoXf)});
        } else if (r.id == rec::kDefaultRowHeight) {
            if (auto d = hintFields(r)) sheet.defaultRowHeight = getU16(*d, kDefaultRowHeightValue);
        }
        return false;
    }

    // A worksheet without cell records: its records from where the cell
    // table belongs (before the drawings, notes and WINDOW2 that follow the
    // table) go after the table, so that cells written into it land in
    // their place. Writers put DIMENSIONS anywhere, even after WINDOW2; the
    // sheet's own stays before the table, where it is written anew.
    static void placeEmptyTable(Sheet& sheet) {
        std::vector<RawRecord> before, after;
        bool past = false;
        int depth = 0; // records of embedded substreams (charts) are not the sheet's
        for (RawRecord& r : sheet.before) {
            if (r.id == rec::kBof) ++depth;
            const bool own = depth == 1;
            past = past || (own && (r.id == rec::kWindow2 || r.id == rec::kMsoDrawing ||
                                    r.id == rec::kObj || r.id == rec::kNote));
            if (r.id == rec::kEof) --depth;
            (past && !(own && r.id == rec::kDimensions) ? after : before).push_back(std::move(r));
        }
        sheet.before = std::move(before);
        sheet.after.insert(sheet.after.begin(), std::make_move_iterator(after.begin()),
                           std::make_move_iterator(after.end()));
    }

    static void readRow(Sheet& sheet, ByteView data) {
        sheet.rows[getU16(data, kRowIndex)].record = Bytes(data.begin(), data.begin() + kRowSize);
    }

    Cell* readCell(Sheet& sheet, std::uint16_t id, ByteView data, std::uint32_t group) {
        if (id == rec::kMulRk || id == rec::kMulBlank) return readMulti(sheet, id, data, group);
        Cell cell;
        cell.col = getU16(data, kCellCol);
        cell.id = id;
        cell.data.assign(data.begin(), data.end());
        // Values are decoded when asked for (cellValue); here the records
        // are only checked, by their size and:
        if (id == rec::kLabelSst) {
            std::uint32_t isst = getU32(data, kCellValue);
            if (isst >= wb_.strings_.size())
                throw damaged("引用了不存在的共享字符串 " + std::to_string(isst));
        } else if (id == rec::kLabel || id == rec::kRString) {
            ContinuedReader s({data.subspan(kCellValue)}, "");
            cell.text = readUnicodeString(s);
        }
        return &place(sheet, getU16(data, kCellRow), std::move(cell));
    }

    // MULRK and MULBLANK become one cell per column, sharing a group so that
    // they are joined again on write.
    static Cell* readMulti(Sheet& sheet, std::uint16_t id, ByteView data, std::uint32_t group) {
        const std::size_t each = id == rec::kMulRk ? kMulRkItem : kMulBlankItem;
        const std::size_t fixed = kMultiItems + kMultiLastColSize;
        if ((data.size() - fixed) % each != 0) throw damaged("长度无效");
        std::uint16_t row = getU16(data, kMultiRow), first = getU16(data, kMultiColFirst);
        std::size_t n = (data.size() - fixed) / each;
        if (n == 0 || getU16(data, data.size() - kMultiLastColSize) != first + n - 1)
            throw damaged("列范围与长度不符");
        Cell* lastCell = nullptr;
        auto& cells = sheet.rows[row].cells;
        cells.reserve(cells.size() + n);
        for (std::size_t k = 0; k < n; ++k) {
            ByteView item = data.subspan(kMultiItems + k * each, each);
            Cell cell;
            cell.col = static_cast<std::uint16_t>(first + k);
            cell.id = id == rec::kMulRk ? rec::kRk : rec::kBlank;
            cell.data.reserve(kCellXf + each);
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
            Sheet& sheet = wb_.sheets_[static_cast<std::size_t>(it - sheetOffsets_.begin())];
            // Saved, the second entry would point nowhere.
            if (sheet.boundSheet != SIZE_MAX)
                throw damaged("工作表目录有两项指向位置 " + std::to_string(offset) +
                              " 的同一个工作表");
            ContinuedReader name({ByteView(wb_.globals_[index].data).subspan(kBoundSheetName)},
                                 "工作表目录记录");
            sheet.name = readUnicodeString(name, true);
            sheet.boundSheet = index;
        }
    }
};

WorkbookStream readWorkbookStream(ByteView stream, bool decrypted) {
    return WorkbookReader(stream, decrypted).read();
}

} // namespace lanqi::xls
