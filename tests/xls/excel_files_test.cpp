// Workbooks as Excel and other programs make them, written and read back: a
// sheet without cells, shared, array and table formulas, rich and phonetic
// strings, a macro sheet's texts, a BIFF8 stream named Book, stray formula
// records.
#include "tests/xls/biff_builder.h"

#include "biff/record_stream.h"
#include "biff/records.h"
#include "book/workbook_stream.h"
#include "cfb/reader.h"
#include "workbook/xls_spreadsheet.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
namespace rec = xls::rec;
using test::le16;
using test::le32;
using test::operator+;
using xls::Bytes;
using xls::CellValue;

Bytes corpusFile(const char* name) {
    std::ifstream in(fs::path(LANQI_CORPUS_DIR) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

xls::WorkbookStream streamOf(const Bytes& file, std::u16string_view name = u"Workbook") {
    xls::CompoundFile cf = xls::readCompoundFile(file);
    return xls::readWorkbookStream(cf.entries[*cf.findInRoot(name)].content);
}

// The tokens a formula cell computes with: its shared formula's, found
// through its ptgExp; nullopt when that formula is no longer in the file.
std::optional<Bytes> sharedTokens(const xls::Sheet& sheet, std::uint32_t row, std::uint16_t col) {
    const xls::Cell* c = xls::findCell(sheet, row, col);
    if (!c || c->id != rec::kFormula || c->data[xls::kFormulaExpression] != xls::kPtgExp)
        return std::nullopt;
    std::uint16_t ar = xls::getU16(c->data, xls::kFormulaExpression + xls::kPtgExpRow);
    std::uint16_t ac = xls::getU16(c->data, xls::kFormulaExpression + xls::kPtgExpCol);
    const xls::Cell* a = xls::findCell(sheet, ar, ac);
    if (!a || ar > row || ac > col) return std::nullopt;
    for (const xls::RawRecord& t : a->trailers)
        if (t.id == rec::kShrFmla && xls::getU16(t.data, 0) == ar && t.data[4] == ac &&
            row <= xls::getU16(t.data, 2) && col <= t.data[5])
            return Bytes(t.data.begin() + 8, t.data.end());
    return std::nullopt;
}

TEST(ExcelFiles, WritingOverFormulasKeepsTheOthersOrIsRefused) {
    struct Case {
        std::uint16_t row, col;
        const char* refusal; // empty: written
    };
    const Case cases[] = {
        {0, 0, ""}, // the first cell of the 2-D shared formula
        {1, 1, ""}, // a cell inside it
        {2, 1, ""}, // its last cell
        {0, 3, "单元格 D1 属于数组公式 D1:D2"},
        {1, 3, "单元格 D2 属于数组公式 D1:D2"},
        {0, 5, ""}, // a single-cell array formula is replaced whole
        {0, 7, "单元格 H1 属于模拟运算表 H1:H1"},
    };
    const Bytes file = test::buildFile(test::formulaBook());
    const Bytes tokens = le16(5) + test::kTwoRight;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " col " << c.col);
        auto doc = xls::Document::parse(file);
        if (*c.refusal) {
            try {
                doc.setCell(0, c.row, c.col, CellValue::ofNumber(1));
                ADD_FAILURE() << "written";
            } catch (const xls::Error& e) {
                EXPECT_EQ(e.kind(), xls::ErrorKind::WriteRefused);
                EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
            }
            EXPECT_FALSE(doc.changed());
            continue;
        }
        doc.setCell(0, c.row, c.col, CellValue::ofNumber(1));
        Bytes saved = doc.serialize();
        EXPECT_EQ(xls::Document::parse(saved).cell(0, c.row, c.col), CellValue::ofNumber(1));
        xls::WorkbookStream wb = streamOf(saved);
        const xls::Sheet& sheet = wb.sheets()[0];
        for (std::uint16_t r = 0; r < 3; ++r)
            for (std::uint16_t col = 0; col < 2; ++col)
                if (!(r == c.row && col == c.col)) {
                    EXPECT_EQ(sharedTokens(sheet, r, col), tokens) << r << "," << col;
                }
        const xls::Cell* f1 = xls::findCell(sheet, 0, 5);
        EXPECT_EQ(f1->id, c.col == 5 ? rec::kNumber : rec::kFormula);
        EXPECT_EQ(f1->trailers.size(), c.col == 5 ? 0u : 1u);
    }
    // Through the program's workbook interface the refusal names the file.
    auto book = openXlsWorkbook(std::filesystem::path(u8"账单明细.xls"), file);
    try {
        book->worksheet("原木一").setCell(2, 4, "12");
        ADD_FAILURE() << "written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.kind(), WorkbookError::Kind::WriteRefused);
        EXPECT_NE(std::string(e.what()).find("账单明细.xls"), std::string::npos);
    }
}

TEST(ExcelFiles, CellsWrittenIntoASheetWithoutCellsGoBeforeItsWindow) {
    // DIMENSIONS right before WINDOW2, as Excel has it, before the page
    // setup or after the window, as some writers put it: the cells go after
    // the setup and before the window, with one DIMENSIONS before them.
    struct Case {
        std::vector<xls::RawRecord> setup;
        bool dimensionsLast;
    };
    const Case cases[] = {
        {{}, false},
        {{test::record(rec::kPrintGrid, le16(0)), test::record(rec::kHCenter, le16(0))}, false},
        {{}, true}};
    for (const auto& [setup, dimensionsLast] : cases) {
        SCOPED_TRACE(std::to_string(setup.size()) + (dimensionsLast ? ", DIMENSIONS last" : ""));
        test::BookSpec plan;
        plan.sheets = {{"原木一", setup, {}, dimensionsLast}};
        auto doc = xls::Document::parse(test::buildFile(plan));
        doc.setCell(0, 2, 1, CellValue::ofText("木材"));
        doc.setCell(0, 40, 3, CellValue::ofNumber(4.941));
        xls::CompoundFile cf = xls::readCompoundFile(doc.serialize());
        std::vector<std::uint16_t> ids; // the sheet's records
        int bofs = 0;
        for (const xls::RecordRef& r :
             xls::splitRecords(cf.entries[*cf.findInRoot(u"Workbook")].content)) {
            bofs += r.id == rec::kBof;
            if (bofs == 2) ids.push_back(r.id);
        }
        auto at = [&](std::uint16_t id) {
            return std::find(ids.begin(), ids.end(), id) - ids.begin();
        };
        EXPECT_LT(at(rec::kDimensions), at(rec::kRow));
        EXPECT_EQ(std::count(ids.begin(), ids.end(), rec::kDimensions), 1);
        for (const xls::RawRecord& r : setup) EXPECT_LT(at(r.id), at(rec::kRow));
        EXPECT_LT(at(rec::kLabelSst), at(rec::kWindow2));
        EXPECT_LT(at(rec::kNumber), at(rec::kWindow2));
    }
}

TEST(ExcelFiles, StringsKeepTheirOwnFormsAndReferences) {
    // Shared strings: "a", a rich "红字" (one run), a phonetic "ふり" (a
    // phonetic block), "c". S!A1 shows "a", the macro sheet M!A1 shows "c".
    const Bytes rich =
        le16(2) + Bytes{0x09} + le16(1) + le16(0x7EA2) + le16(0x5B57) + le16(0) + le16(5);
    const Bytes phonetic =
        le16(2) + Bytes{0x05} + le32(4) + le16(0x3075) + le16(0x308A) + Bytes{1, 0, 0, 0};
    Bytes sst =
        le32(4) + le32(4) + le16(1) + Bytes{0, 'a'} + rich + phonetic + le16(1) + Bytes{0, 'c'};
    test::BookSpec plan;
    plan.sst = {test::record(rec::kSst, sst)};
    plan.sheets = {{"S", {test::cellRecord(rec::kLabelSst, 0, 0, 15, le32(0))}, {}},
                   {"M", {test::cellRecord(rec::kLabelSst, 0, 0, 15, le32(3))}, {}}};
    plan.sheetTypes = {0x0010, test::kMacroSheet};
    auto doc = xls::Document::parse(test::buildFile(plan));
    doc.setCell(0, 0, 0, CellValue::ofNumber(1)); // "a" is no longer used
    doc.setCell(0, 1, 0, CellValue::ofText("红字"));
    doc.setCell(0, 2, 0, CellValue::ofText("ふり"));
    xls::WorkbookStream wb = streamOf(doc.serialize());
    for (std::uint32_t row : {1u, 2u}) {
        const xls::Cell* c = xls::findCell(wb.sheets()[0], row, 0);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(wb.strings()[xls::getU32(c->data, xls::kCellValue)].plain()) << row;
    }
    const xls::Sheet& macro = wb.sheets()[1];
    auto label = std::find_if(macro.before.begin(), macro.before.end(),
                              [](const xls::RawRecord& r) { return r.id == rec::kLabelSst; });
    ASSERT_NE(label, macro.before.end());
    EXPECT_EQ(wb.strings()[xls::getU32(label->data, xls::kCellValue)].text, "c");
}

TEST(ExcelFiles, APhoneticBlockIsNotCutAcrossRecords) {
    const Bytes block = test::kPhoneticBlock;
    auto doc = xls::Document::parse(test::buildFile(test::phoneticBook()));
    doc.setCell(0, 5, 0, CellValue::ofNumber(1));
    xls::CompoundFile cf = xls::readCompoundFile(doc.serialize());
    auto records = xls::splitRecords(cf.entries[*cf.findInRoot(u"Workbook")].content);
    auto sst = std::find_if(records.begin(), records.end(),
                            [](const xls::RecordRef& r) { return r.id == rec::kSst; });
    ASSERT_NE(sst, records.end());
    ASSERT_EQ((sst + 1)->id, rec::kContinue);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), (sst + 1)->data.begin()));
}

TEST(ExcelFiles, WorkbooksOtherProgramsOpenAreOpenedOrNamedForWhatTheyAre) {
    // A BIFF8 stream named in capitals opens, and is saved under its name.
    test::BookSpec plan;
    plan.sheets = {{"原木一", {}, {}}};
    auto doc = xls::Document::parse(test::buildFile(plan, u"BOOK"));
    doc.setCell(0, 0, 0, CellValue::ofText("木材"));
    Bytes saved = doc.serialize();
    EXPECT_EQ(xls::Document::parse(saved).cell(0, 0, 0), CellValue::ofText("木材"));
    EXPECT_EQ(streamOf(saved, u"BOOK").sheets().size(), 1u);

    // Records that only say how columns and new rows look, written short as
    // some programs write them: the workbook opens, takes writes and saves.
    const xls::RawRecord shortOnes[] = {
        test::record(rec::kColInfo, le16(0) + le16(3) + le16(3000) + le16(15) + le16(0) + Bytes{0}),
        test::record(rec::kColInfo, le16(0) + le16(3) + le16(3000) + le16(15) + le16(0)),
        test::record(rec::kColInfo, le16(0) + le16(3)),
        test::record(rec::kDefaultRowHeight, le16(300)),
    };
    for (const xls::RawRecord& r : shortOnes) {
        SCOPED_TRACE(std::string(rec::name(r.id)) + " of " + std::to_string(r.data.size()));
        test::BookSpec shortPlan;
        shortPlan.sheets = {{"S", {test::cellRecord(rec::kNumber, 0, 0, 15, test::f64(4))}, {r}}};
        auto book = xls::Document::parse(test::buildFile(shortPlan));
        book.setCell(0, 2, 1, CellValue::ofText("木材"));
        auto kept = xls::Document::parse(book.serialize());
        EXPECT_EQ(kept.cell(0, 2, 1), CellValue::ofText("木材"));
        EXPECT_EQ(kept.cell(0, 0, 0), CellValue::ofNumber(4));
    }
}

TEST(ExcelFiles, StrayFormulaRecordsDoNotBecomeAFormulasResult) {
    // Found by the fuzzer: a STRING record after a ROW record, before any
    // cell, ended up behind a formula with a string result on save.
    auto doc = xls::Document::parse(corpusFile("fuzz_stray_string_after_row.xls"));
    for (std::size_t s = 0; s < doc.worksheetNames().size(); ++s) {
        doc.setCell(s, 0, 0, CellValue::ofNumber(12.5));
        doc.setCell(s, 1, 1, CellValue::ofText("木材"));
        doc.setCell(s, 2, 2, CellValue::empty());
    }
    auto again = xls::Document::parse(doc.serialize());
    for (std::size_t s = 0; s < doc.worksheetNames().size(); ++s) {
        EXPECT_EQ(again.cell(s, 0, 0), CellValue::ofNumber(12.5));
        EXPECT_EQ(again.cell(s, 1, 1), CellValue::ofText("木材"));
    }
}

TEST(ExcelFiles, ATextLongerThanACellHoldsIsRefusedBeforeAnythingIsWritten) {
    // Saved, a longer text would come back cut short. Lengths count UTF-16
    // units: a character outside the BMP takes two.
    std::string emoji = "\xF0\x9F\x8C\xB2"; // U+1F332
    struct Case {
        std::string text;
        bool fits;
    };
    std::string repeatedEmoji;
    for (int i = 0; i < 16384; ++i) repeatedEmoji += emoji;
    const Case cases[] = {
        {std::string(32767, 'x'), true},
        {std::string(32768, 'x'), false},
        {std::string(40000, 'x'), false},
        {repeatedEmoji, false},                          // 32768 units
        {repeatedEmoji.substr(emoji.size()) + "x", true}, // 32767 units
    };
    for (const Case& c : cases) {
        test::BookSpec plan;
        plan.sheets = {{"原木一", {}, {}}};
        auto doc = xls::Document::parse(test::buildFile(plan));
        doc.setCell(0, 27, 9, CellValue::ofText("木材"));
        doc.serialize();
        doc.markSaved();
        try {
            doc.setCell(0, 27, 9, CellValue::ofText(c.text));
            EXPECT_TRUE(c.fits) << c.text.size();
            EXPECT_EQ(xls::Document::parse(doc.serialize()).cell(0, 27, 9),
                      CellValue::ofText(c.text));
            // Changed until the caller says the bytes reached the disk.
            EXPECT_TRUE(doc.changed());
            doc.markSaved();
            EXPECT_FALSE(doc.changed());
        } catch (const xls::Error& e) {
            EXPECT_FALSE(c.fits) << c.text.size();
            EXPECT_EQ(e.kind(), xls::ErrorKind::TextTooLong);
            std::string message = e.what();
            EXPECT_NE(message.find("J28"), std::string::npos) << message;
            EXPECT_NE(message.find("32767"), std::string::npos) << message;
            EXPECT_FALSE(doc.changed());
            EXPECT_EQ(doc.cell(0, 27, 9), CellValue::ofText("木材"));
        }
    }
}

} // namespace
} // namespace lanqi
