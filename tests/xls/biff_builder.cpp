#include "tests/xls/biff_builder.h"

#include "biff/records.h"
#include "cfb/reader.h"

namespace lanqi::test {

using xls::Bytes;
namespace rec = xls::rec;

Bytes le16(std::uint16_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}
Bytes le32(std::uint32_t v) {
    return le16(static_cast<std::uint16_t>(v)) + le16(static_cast<std::uint16_t>(v >> 16));
}
Bytes f64(double v) {
    Bytes b;
    xls::putF64(b, v);
    return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

xls::RawRecord record(std::uint16_t id, const Bytes& data) {
    return {id, data};
}

xls::RawRecord cellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                          const Bytes& value) {
    return {id, le16(row) + le16(col) + le16(xf) + value};
}

xls::RawRecord formulaCell(std::uint16_t row, std::uint16_t col, const Bytes& expression) {
    return cellRecord(rec::kFormula, row, col, 15,
                      f64(0) + le16(0) + le32(0) +
                          le16(static_cast<std::uint16_t>(expression.size())) + expression);
}

Bytes pointer(std::uint8_t ptg, std::uint16_t row, std::uint16_t col) {
    return Bytes{ptg} + le16(row) + le16(col);
}
const Bytes kTwoRight = Bytes{0x2C} + le16(0) + le16(0xC002);

BookSpec formulaBook() {
    auto range = [](std::uint16_t r0, std::uint16_t r1, std::uint8_t c0, std::uint8_t c1) {
        return le16(r0) + le16(r1) + Bytes{c0, c1};
    };
    std::vector<xls::RawRecord> cells;
    for (std::uint16_t r = 0; r < 3; ++r) {
        for (std::uint16_t c = 0; c < 2; ++c) {
            cells.push_back(formulaCell(r, c, pointer(1, 0, 0)));
            if (r == 0 && c == 0)
                cells.push_back(
                    record(rec::kShrFmla, range(0, 2, 0, 1) + Bytes{0, 6} + le16(5) + kTwoRight));
        }
        if (r < 2) cells.push_back(formulaCell(r, 3, pointer(1, 0, 3)));
        if (r == 0) {
            cells.push_back(record(rec::kArray, range(0, 1, 3, 3) + le16(0) + le32(0) + le16(3) +
                                                    Bytes{0x1E, 5, 0}));
            cells.push_back(formulaCell(0, 5, pointer(1, 0, 5)));
            cells.push_back(record(rec::kArray, range(0, 0, 5, 5) + le16(0) + le32(0) + le16(3) +
                                                    Bytes{0x1E, 6, 0}));
            cells.push_back(formulaCell(0, 7, pointer(2, 0, 7)));
            cells.push_back(record(rec::kTable, range(0, 0, 7, 7) + Bytes(10, 0)));
        }
    }
    BookSpec plan;
    plan.sheets = {{"原木一", cells, {}}};
    return plan;
}

// Phonetic block: reserved 1 | cb | phs (font, options) | rphssub (runs 0,
// cch 1, the reading フ) | no runs.
const Bytes kPhoneticBlock =
    le16(1) + le16(12) + le16(0) + le16(0) + le16(0) + le16(1) + le16(1) + le16(0x30D5);

BookSpec phoneticBook() {
    Bytes first = le16(8194) + Bytes{0} + Bytes(8194, 'x');
    Bytes second = le16(2) + Bytes{0x04} + le32(static_cast<std::uint32_t>(kPhoneticBlock.size())) +
                   Bytes{'a', 'b'} + kPhoneticBlock;
    BookSpec plan;
    plan.sst = {record(rec::kSst, le32(2) + le32(2) + first), record(rec::kContinue, second)};
    plan.sheets = {{"S",
                    {cellRecord(rec::kLabelSst, 0, 0, 15, le32(0)),
                     cellRecord(rec::kLabelSst, 1, 0, 15, le32(1))},
                    {}}};
    return plan;
}

xls::RawRecord simpleSst(const std::vector<std::string>& strings) {
    Bytes b = le32(static_cast<std::uint32_t>(strings.size())) +
              le32(static_cast<std::uint32_t>(strings.size()));
    for (const std::string& s : strings) {
        b = b + le16(static_cast<std::uint16_t>(s.size()));
        b.push_back(0);
        b.insert(b.end(), s.begin(), s.end());
    }
    return {rec::kSst, b};
}

namespace {

void put(Bytes& out, const xls::RawRecord& r) {
    xls::putU16(out, r.id);
    xls::putU16(out, static_cast<std::uint16_t>(r.data.size()));
    xls::putBytes(out, r.data);
}

Bytes bof(std::uint16_t version, std::uint16_t type) {
    return le16(version) + le16(type) + le16(0x0DBB) + le16(0x07CC) + le32(0) + le32(0x0006);
}

Bytes xf(std::uint16_t ifmt, bool style) {
    Bytes b = le16(0) + le16(ifmt) + le16(style ? 0xFFF5 : 0x0001);
    b.resize(20, 0);
    return b;
}

} // namespace

Bytes buildStream(const BookSpec& plan) {
    Bytes out;
    put(out, {rec::kBof, bof(plan.bofVersion, 0x0005)});
    put(out, {rec::kCodePage, le16(1200)});
    for (const auto& r : plan.extraGlobals) put(out, r);
    put(out, {rec::kFormat, le16(164) + le16(1) + Bytes{0, '@'}});
    for (int i = 0; i < 16; ++i) put(out, {rec::kXf, xf(0, i < 15)});
    put(out, {rec::kXf, xf(49, false)});
    put(out, {rec::kXf, xf(164, false)});
    put(out, {rec::kXf, xf(2, false)});
    std::vector<std::size_t> fix;
    for (const SheetSpec& s : plan.sheets) {
        fix.push_back(out.size() + 4);
        Bytes name = xls::encodeUnicodeString(s.name, true);
        put(out, {rec::kBoundSheet, le32(0) + Bytes{0, 0} + name});
    }
    for (const auto& r : plan.sst) put(out, r);
    put(out, {rec::kEof, {}});
    for (std::size_t i = 0; i < plan.sheets.size(); ++i) {
        xls::setU32(out.data() + fix[i], static_cast<std::uint32_t>(out.size()));
        std::uint16_t type = i < plan.sheetTypes.size() ? plan.sheetTypes[i] : 0x0010;
        put(out, {rec::kBof, bof(plan.bofVersion, type)});
        for (const auto& r : plan.sheets[i].head) put(out, r);
        const xls::RawRecord dimensions{rec::kDimensions,
                                        le32(0) + le32(0) + le16(0) + le16(0) + le16(0)};
        if (!plan.sheets[i].dimensionsLast) put(out, dimensions);
        for (const auto& r : plan.sheets[i].cells) put(out, r);
        put(out, {rec::kWindow2, le16(0x06B6) + Bytes(16, 0)});
        if (plan.sheets[i].dimensionsLast) put(out, dimensions);
        put(out, {rec::kEof, {}});
    }
    return out;
}

Bytes buildFile(const BookSpec& plan, const std::u16string& streamName) {
    using T = xls::EntryType;
    Bytes stream = buildStream(plan);
    if (stream.size() < 4096) stream.resize(4096, 0); // as spreadsheet programs pad it
    return xls::writeCompoundFile(buildCompound(
        {{u"Root Entry", T::Root, xls::kNoStream, xls::kNoStream, 1, {}, 1},
         {streamName, T::Stream, xls::kNoStream, xls::kNoStream, xls::kNoStream, stream, 2}}));
}

StoredCell storedCell(const Bytes& file, const std::string& sheet, std::uint32_t row,
                      std::uint16_t col) {
    xls::CompoundFile cf = xls::readCompoundFile(file);
    xls::WorkbookStream wb =
        xls::readWorkbookStream(cf.entries[*cf.findInRoot(u"Workbook")].content);
    StoredCell out;
    xls::Sheet* s = wb.sheet(sheet);
    if (!s || !s->rows.count(row)) return out;
    for (const xls::Cell& c : s->rows[row].cells)
        if (c.col == col) {
            out = {c.id, c.xf(), true, c.trailers.size()};
            // Members of a MULRK or MULBLANK are reported as that record.
            if (c.group) {
                for (const xls::Cell& d : s->rows[row].cells)
                    if (d.group == c.group && d.col != c.col) {
                        out.id = c.id == rec::kRk ? rec::kMulRk : rec::kMulBlank;
                        break;
                    }
            }
        }
    return out;
}

} // namespace lanqi::test
