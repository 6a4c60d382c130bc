// BIFF8 records: every cell kind reads as the text a spreadsheet shows,
// strings split over CONTINUE records, other formats are refused by name,
// and writes are stored as typing would store them.
#include "tests/xls/biff_builder.h"

#include "biff/records.h"
#include "cfb/reader.h"
#include "platform/utf8_path.h"
#include "workbook/xls_spreadsheet.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <tuple>
#include <unistd.h>

namespace lanqi {
namespace {

using test::le16;
using test::le32;
using test::operator+;
using xls::Bytes;
namespace rec = xls::rec;

std::uint32_t rkInt(std::int32_t v, bool x100 = false) {
    return (static_cast<std::uint32_t>(v) << 2) | 2 | (x100 ? 1 : 0);
}
std::uint32_t rkDouble(double v, bool x100 = false) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof v);
    return static_cast<std::uint32_t>(bits >> 32) | (x100 ? 1 : 0);
}
Bytes formulaValue(Bytes cached) {
    return cached + le16(0) + le32(0) + le16(0);
}
Bytes special(std::uint8_t type, std::uint8_t value) {
    return {type, 0, value, 0, 0, 0, 0xFF, 0xFF};
}

std::string openError(const Bytes& bytes, const char* name = "账单明细.xls") {
    try {
        openXlsWorkbook(platform::pathFromUtf8(name), bytes);
    } catch (const WorkbookError& e) {
        return e.what();
    }
    return "opened";
}

TEST(Records, EveryCellKindReadsAsTheSpreadsheetShowsIt) {
    test::BookSpec plan;
    plan.sst = {test::simpleSst({"甲", "plain"})};
    plan.sst[0].data = le32(2) + le32(2) + le16(1) + Bytes{1, 0x32, 0x75} + le16(5) + Bytes{0} +
                       Bytes{'p', 'l', 'a', 'i', 'n'};
    std::vector<xls::RawRecord> c = {
        test::cellRecord(rec::kNumber, 0, 0, 15, test::f64(24)),
        test::cellRecord(rec::kNumber, 0, 1, 15, test::f64(0.48)),
        test::cellRecord(rec::kRk, 0, 2, 15, le32(rkInt(-7))),
        test::cellRecord(rec::kRk, 0, 3, 15, le32(rkInt(48, true))),
        test::cellRecord(rec::kRk, 0, 4, 15, le32(rkDouble(1.5))),
        test::cellRecord(rec::kRk, 0, 5, 15, le32(rkDouble(1234.0, true))),
        test::record(rec::kMulRk, le16(1) + le16(2) + le16(15) + le32(rkInt(1)) + le16(15) +
                                      le32(rkInt(2)) + le16(15) + le32(rkInt(3)) + le16(4)),
        test::cellRecord(rec::kLabelSst, 2, 0, 15, le32(0)),
        test::cellRecord(rec::kLabelSst, 2, 1, 15, le32(1)),
        test::cellRecord(rec::kLabel, 2, 2, 15, le16(2) + Bytes{1, 0x28, 0x67, 0x50, 0x67}),
        test::cellRecord(rec::kRString, 2, 3, 15, le16(3) + Bytes{0, 'a', 'b', 'c'} + le16(0)),
        test::cellRecord(rec::kBoolErr, 3, 0, 15, Bytes{1, 0}),
        test::cellRecord(rec::kBoolErr, 3, 1, 15, Bytes{0, 0}),
        test::cellRecord(rec::kBoolErr, 3, 2, 15, Bytes{0x07, 1}),
        test::cellRecord(rec::kBoolErr, 3, 3, 15, Bytes{0x2A, 1}),
        test::cellRecord(rec::kFormula, 4, 0, 15, formulaValue(test::f64(4.941))),
        test::cellRecord(rec::kFormula, 4, 1, 15, formulaValue(special(0, 0))),
        test::record(rec::kString, le16(4) + Bytes{0, '4', '9', '4', '1'}),
        test::cellRecord(rec::kFormula, 4, 2, 15, formulaValue(special(1, 1))),
        test::cellRecord(rec::kFormula, 4, 3, 15, formulaValue(special(2, 0x17))),
        test::cellRecord(rec::kFormula, 4, 4, 15, formulaValue(special(3, 0))),
        test::cellRecord(rec::kBlank, 5, 0, 18),
        test::record(rec::kMulBlank, le16(5) + le16(1) + le16(18) + le16(18) + le16(2)),
    };
    plan.sheets = {{"原木一", c, {}}};
    auto book = openXlsWorkbook("t.xls", test::buildFile(plan));
    Worksheet& s = book->worksheet("原木一");
    const char* expected[6][6] = {
        {"24", "0.48", "-7", "0.48", "1.5", "12.34"}, {"", "", "1", "2", "3", ""},
        {"甲", "plain", "木材", "abc", "", ""},       {"TRUE", "FALSE", "#DIV/0!", "#N/A", "", ""},
        {"4.941", "4941", "TRUE", "#REF!", "", ""},   {"", "", "", "", "", ""},
    };
    for (int r = 0; r < 6; ++r)
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(s.cell(r + 1, k + 1), expected[r][k]) << r + 1 << "," << k + 1;
    EXPECT_EQ(s.cell(100, 200), "");
    EXPECT_THROW(s.cell(0, 1), std::out_of_range);
    EXPECT_THROW(s.cell(1, 257), std::out_of_range);
    EXPECT_THROW(s.setCell(65537, 1, "x"), std::out_of_range);
}

TEST(Records, SharedStringsRunOnIntoContinueRecords) {
    // "ABCDEF" split after ABC, the rest stored as UTF-16 with a fresh option
    // byte; a rich string whose runs sit in the next record; then a plain one.
    Bytes sst = le32(3) + le32(3) + le16(6) + Bytes{0, 'A', 'B', 'C'};
    Bytes cont1 = Bytes{1} + le16('D') + le16(0x6728) + le16('F') + le16(2) + Bytes{0x08} +
                  le16(1) + Bytes{'x', 'y'};
    Bytes cont2 = le16(0) + le16(1) + le16(3) + Bytes{0, 'e', 'n', 'd'};
    test::BookSpec plan;
    plan.sst = {test::record(rec::kSst, sst), test::record(rec::kContinue, cont1),
                test::record(rec::kContinue, cont2)};
    plan.sheets = {{"S",
                    {test::cellRecord(rec::kLabelSst, 0, 0, 15, le32(0)),
                     test::cellRecord(rec::kLabelSst, 0, 1, 15, le32(1)),
                     test::cellRecord(rec::kLabelSst, 0, 2, 15, le32(2))},
                    {}}};
    Bytes file = test::buildFile(plan);
    auto book = openXlsWorkbook("t.xls", file);
    Worksheet& s = book->worksheet("S");
    EXPECT_EQ(s.cell(1, 1), "ABCD木F");
    EXPECT_EQ(s.cell(1, 2), "xy");
    EXPECT_EQ(s.cell(1, 3), "end");

    // Thousands of new strings make the written table span many records.
    auto dir = std::filesystem::temp_directory_path() / ("lanqi-sst-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream(dir / "t.xls", std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
    }
    XlsApplication app([](const std::filesystem::path&) {});
    {
        auto w = app.open(dir / "t.xls");
        for (int i = 0; i < 3000; ++i)
            w->worksheet("S").setCell(i + 2, 1, "第" + std::to_string(i) + "行的木材名称");
        w->worksheet("S").setCell(2, 2, std::string(9000, 'z')); // longer than a record
        w->save();
    }
    auto again = app.open(dir / "t.xls");
    Worksheet& t = again->worksheet("S");
    EXPECT_EQ(t.cell(1, 1), "ABCD木F");
    EXPECT_EQ(t.cell(1, 2), "xy");
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(t.cell(i + 2, 1), "第" + std::to_string(i) + "行的木材名称");
    EXPECT_EQ(t.cell(2, 2), std::string(9000, 'z'));
    std::filesystem::remove_all(dir);
}

TEST(Records, AFormulaStringResultRunsOnAndStrayStringRecordsAreLeftAlone) {
    test::BookSpec plan;
    plan.sheets = {{"S",
                    {test::cellRecord(rec::kFormula, 0, 0, 15, formulaValue(special(0, 0))),
                     test::record(rec::kString, le16(5) + Bytes{0, 'a', 'b'}),
                     test::record(rec::kContinue, Bytes{1} + le16(0x6728) + le16('c') + le16('d')),
                     test::cellRecord(rec::kFormula, 0, 1, 15, formulaValue(special(2, 7))),
                     test::record(rec::kString, Bytes{0xFF, 0xFF, 0})},
                    {}}};
    auto book = openXlsWorkbook("t.xls", test::buildFile(plan));
    EXPECT_EQ(book->worksheet("S").cell(1, 1), "ab木cd");
    EXPECT_EQ(book->worksheet("S").cell(1, 2), "#DIV/0!");
}

TEST(Records, OtherFormatsAreRefusedSayingWhatTheyAre) {
    test::BookSpec book;
    book.sheets = {{"S", {}, {}}};
    test::BookSpec biff5 = book;
    biff5.bofVersion = 0x0500;
    EXPECT_NE(openError(test::buildFile(biff5)).find("Excel 5.0"), std::string::npos);
    EXPECT_NE(openError(test::buildFile(biff5, u"Book")).find("Excel 5.0"), std::string::npos);
    test::BookSpec encrypted = book;
    encrypted.extraGlobals = {test::record(rec::kFilePass, le16(1) + Bytes(52, 0))};
    EXPECT_NE(openError(test::buildFile(encrypted)).find("加密"), std::string::npos);
    Bytes zip = {'P', 'K', 3, 4, 20, 0, 6, 0};
    EXPECT_NE(openError(zip).find(".xlsx"), std::string::npos);
    std::string text = "名称,件数\n";
    std::string msg = openError(Bytes(text.begin(), text.end()));
    EXPECT_EQ(msg, "无法打开账单明细.xls：文件不是 Excel 97–2003 工作簿（.xls）");
    EXPECT_NE(openError({}).find("空"), std::string::npos);
    Bytes biff4 = {0x09, 0x04, 6, 0, 0, 0, 0x10, 0};
    EXPECT_NE(openError(biff4).find("Excel 4.0"), std::string::npos);
}

TEST(Records, ContradictoryRecordsAreDamage) {
    auto damaged = [](std::vector<xls::RawRecord> cells) {
        test::BookSpec plan;
        plan.sst = {test::simpleSst({"a"})};
        plan.sheets = {{"S", std::move(cells), {}}};
        try {
            openXlsWorkbook("账单明细.xls", test::buildFile(plan));
        } catch (const WorkbookError& e) {
            return e.kind() == WorkbookError::Kind::Damaged ? std::string("damaged") : e.what();
        }
        return std::string("opened");
    };
    EXPECT_EQ(damaged({test::cellRecord(rec::kLabelSst, 0, 0, 15, le32(5))}), "damaged");
    EXPECT_EQ(
        damaged({test::record(rec::kMulRk, le16(0) + le16(0) + le16(15) + le32(2) + le16(3))}),
        "damaged");
    EXPECT_EQ(damaged({test::record(rec::kNumber, le16(0) + le16(0))}), "damaged");
    EXPECT_EQ(damaged({test::cellRecord(rec::kFormula, 0, 0, 15, Bytes(13, 0))}), "damaged");
    EXPECT_EQ(damaged({test::record(rec::kRow, Bytes(15, 0))}), "damaged");
    EXPECT_EQ(damaged({test::formulaCell(0, 0, test::pointer(1, 0, 0)),
                       test::record(rec::kShrFmla, le16(0) + le16(1) + Bytes{0, 0})}),
              "damaged");
    EXPECT_EQ(damaged({test::cellRecord(rec::kLabel, 0, 0, 15, le16(50) + Bytes{0, 'a'})}),
              "damaged");
    // A run of zeros inside a sheet, as a damaged disk leaves it (4 MB: 2^20 empty records
    // of id 0), is read in one pass.
    EXPECT_EQ(damaged(std::vector<xls::RawRecord>(1u << 20, xls::RawRecord{0, {}})), "opened");

    test::BookSpec plan;
    plan.sheets = {{"S", {}, {}}};
    Bytes stream = test::buildStream(plan);
    xls::setU16(stream.data() + stream.size() - 2, 200); // the last record runs past the end
    EXPECT_THROW(xls::readWorkbookStream(stream), xls::Error);
    Bytes cut(stream.begin(), stream.end() - 4); // no EOF
    EXPECT_THROW(xls::readWorkbookStream(cut), xls::Error);
}

TEST(Records, ShortFormattingRecordsAreKeptAndReadAsFarAsTheyGo) {
    // Each case adds formatting records before the built ones; the last is
    // an XF whose number format is custom format 170.
    const Bytes textXf = le16(0) + le16(170) + Bytes(16, 0);
    struct Case {
        const char* what;
        std::vector<xls::RawRecord> globals;
        bool textFormatted; // the cell of the last XF
    };
    const Case cases[] = {
        {"FORMAT one character short",
         {test::record(rec::kFormat, le16(170) + le16(2) + Bytes{0, '@'})},
         true},
        {"FORMAT of UTF-16 characters ending in half a character",
         {test::record(rec::kFormat, le16(170) + le16(2) + Bytes{1, '@', 0, '@'})},
         true},
        {"FORMAT without its string", {test::record(rec::kFormat, le16(170))}, false},
        {"FORMAT without its number", {test::record(rec::kFormat, Bytes{170})}, false},
        {"XF without its number format", {test::record(rec::kXf, le16(0))}, false},
        {"FONT, STYLE and PALETTE cut short",
         {test::record(rec::kFont, le16(200) + Bytes{0}), test::record(rec::kStyle, Bytes{0x80}),
          test::record(rec::kPalette, le16(56) + le32(0))},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::BookSpec plan;
        plan.extraGlobals = c.globals;
        plan.extraGlobals.push_back(test::record(rec::kXf, textXf));
        // The built cell formats come after those added here.
        const auto lastXf = static_cast<std::uint16_t>(
            std::count_if(c.globals.begin(), c.globals.end(),
                          [](const xls::RawRecord& r) { return r.id == rec::kXf; }));
        plan.sheets = {{"S", {test::cellRecord(rec::kBlank, 0, 0, lastXf)}, {}}};
        const Bytes file = test::buildFile(plan);
        auto doc = xls::Document::parse(file);
        EXPECT_EQ(doc.isTextFormatted(0, 0, 0), c.textFormatted);
        EXPECT_EQ(doc.serialize(), file);
        doc.setCell(0, 1, 0, xls::CellValue::ofText("木材"));
        auto again = xls::Document::parse(doc.serialize());
        EXPECT_EQ(again.cell(0, 1, 0), xls::CellValue::ofText("木材"));
        // Written back as they were.
        xls::CompoundFile cf = xls::readCompoundFile(doc.serialize());
        auto globals = xls::readWorkbookStream(cf.entries[*cf.findInRoot(u"Workbook")].content)
                           .globals();
        for (const xls::RawRecord& r : c.globals)
            EXPECT_NE(std::find_if(globals.begin(), globals.end(),
                                   [&r](const xls::RawRecord& g) {
                                       return g.id == r.id && g.data == r.data;
                                   }),
                      globals.end());
    }
}

class Writing : public ::testing::Test {
  protected:
    void SetUp() override {
        test::BookSpec plan;
        plan.sst = {test::simpleSst({"old"})};
        // Row 3 has its own format (18); column E's format is custom Text.
        Bytes row3 = le16(2) + le16(0) + le16(0) + le16(300) + le16(0) + le16(0) +
                     le32(0x0100 | 0x80 | (test::kXfTwoDecimals << 16));
        plan.sheets = {
            {"S",
             {test::record(rec::kRow, row3),
              test::cellRecord(rec::kLabelSst, 0, 0, test::kXfText, le32(0)),
              test::cellRecord(rec::kNumber, 0, 1, test::kXfTwoDecimals, test::f64(3)),
              test::cellRecord(rec::kFormula, 0, 2, 15, formulaValue(special(0, 0))),
              test::record(rec::kString, le16(1) + Bytes{0, 's'}),
              test::record(rec::kMulRk, le16(1) + le16(0) + le16(15) + le32(rkInt(1)) + le16(16) +
                                            le32(rkInt(2)) + le16(15) + le32(rkInt(3)) + le16(15) +
                                            le32(rkInt(4)) + le16(3))},
             {test::record(rec::kColInfo, le16(4) + le16(4) + le16(2000) +
                                              le16(test::kXfCustomText) + le16(0) + le16(0))}}};
        file_ = test::buildFile(plan);
        book_ = openXlsWorkbook("t.xls", file_);
    }
    Worksheet& sheet() { return book_->worksheet("S"); }
    Bytes saved() {
        // The stream as save() would write it, wrapped as the file.
        auto dir = std::filesystem::temp_directory_path() /
                   ("lanqi-write-" + std::to_string(::getpid()) + "-" + std::to_string(count_++));
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "t.xls", std::ios::binary)
            .write(reinterpret_cast<const char*>(file_.data()),
                   static_cast<std::streamsize>(file_.size()));
        XlsApplication app([](const std::filesystem::path&) {});
        auto b = app.open(dir / "t.xls");
        for (auto& [r, c, t] : writes_) b->worksheet("S").setCell(r, c, t);
        b->save();
        Bytes out;
        {
            std::ifstream in(dir / "t.xls", std::ios::binary); // closed before the removal
            out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::filesystem::remove_all(dir);
        return out;
    }
    void write(int r, int c, std::string t) {
        sheet().setCell(r, c, t);
        writes_.emplace_back(r, c, t);
    }
    Bytes file_;
    std::unique_ptr<Workbook> book_;
    std::vector<std::tuple<int, int, std::string>> writes_;
    static inline int count_ = 0;
};

TEST_F(Writing, PlainDecimalsBecomeNumbersUnlessTypingWouldKeepThemText) {
    struct Case {
        const char* text;
        std::uint16_t id;
        const char* reads;
    } cases[] = {
        {"24", rec::kNumber, "24"},
        {"-3.50", rec::kNumber, "-3.5"},
        {"0.48", rec::kNumber, "0.48"},
        {"007", rec::kLabelSst, "007"},
        {"-0451", rec::kLabelSst, "-0451"},
        {"123456789012345", rec::kNumber, "123456789012345"},
        {"6222021234567890123", rec::kLabelSst, "6222021234567890123"},
        {"1e5", rec::kLabelSst, "1e5"},
        {" 5", rec::kLabelSst, " 5"},
        {"5.", rec::kLabelSst, "5."},
        {"1,5", rec::kLabelSst, "1,5"},
        {"溢出", rec::kLabelSst, "溢出"},
        {"0", rec::kNumber, "0"},
    };
    int col = 10;
    for (const Case& c : cases) write(10, ++col, c.text);
    Bytes file = saved();
    col = 10;
    for (const Case& c : cases) {
        ++col;
        EXPECT_EQ(sheet().cell(10, col), c.reads) << c.text;
        EXPECT_EQ(test::storedCell(file, "S", 9, static_cast<std::uint16_t>(col - 1)).id, c.id)
            << c.text;
    }
}

TEST_F(Writing, CellsKeepTheirFormatAndNewCellsTakeTheRowsOrColumns) {
    write(1, 1, "123"); // Text-formatted: stays text
    write(1, 2, "");    // a blank that keeps its format
    write(3, 2, "7");   // row 3's format
    write(8, 5, "42");  // column E's format is Text
    write(8, 6, "42");  // neither: the default format
    write(9, 9, "");    // nothing there: nothing written
    Bytes file = saved();
    auto at = [&](std::uint32_t r, std::uint16_t c) { return test::storedCell(file, "S", r, c); };
    EXPECT_EQ(at(0, 0).id, rec::kLabelSst);
    EXPECT_EQ(at(0, 0).xf, test::kXfText);
    EXPECT_EQ(at(0, 1).id, rec::kBlank);
    EXPECT_EQ(at(0, 1).xf, test::kXfTwoDecimals);
    EXPECT_EQ(at(2, 1).xf, test::kXfTwoDecimals);
    EXPECT_EQ(at(7, 4).id, rec::kLabelSst);
    EXPECT_EQ(at(7, 4).xf, test::kXfCustomText);
    EXPECT_EQ(at(7, 5).id, rec::kNumber);
    EXPECT_EQ(at(7, 5).xf, 15);
    EXPECT_FALSE(at(8, 8).present);
}

TEST_F(Writing, OverAFormulaOrInsideAMulRkOnlyThatCellChanges) {
    write(1, 3, "9");
    write(2, 2, "木");
    Bytes file = saved();
    auto at = [&](std::uint32_t r, std::uint16_t c) { return test::storedCell(file, "S", r, c); };
    EXPECT_EQ(at(0, 2).id, rec::kNumber);
    EXPECT_EQ(at(0, 2).trailers, 0u); // the formula's STRING went with it
    EXPECT_EQ(at(1, 0).id, rec::kRk); // left of the write: alone now
    EXPECT_EQ(at(1, 1).id, rec::kLabelSst);
    EXPECT_EQ(at(1, 1).xf, 16); // kept the MULRK member's format
    EXPECT_EQ(at(1, 2).id, rec::kMulRk);
    EXPECT_EQ(at(1, 3).id, rec::kMulRk);
    auto again = openXlsWorkbook("t.xls", file);
    Worksheet& s = again->worksheet("S");
    EXPECT_EQ(s.cell(1, 1), "old");
    EXPECT_EQ(s.cell(1, 2), "3");
    EXPECT_EQ(s.cell(1, 3), "9");
    EXPECT_EQ(s.cell(2, 1), "1");
    EXPECT_EQ(s.cell(2, 2), "木");
    EXPECT_EQ(s.cell(2, 3), "3");
    EXPECT_EQ(s.cell(2, 4), "4");
}

} // namespace
} // namespace lanqi
