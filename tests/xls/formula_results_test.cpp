// Formula results computed before a save: number formats of TEXT, the
// spreadsheet's rounding, and formulas over written cells stored in
// dependency order, with those the engine does not evaluate left as they were.
#include "tests/xls/biff_builder.h"

#include "biff/records.h"
#include "formula/decimal.h"
#include "formula/number_format.h"
#include "formula/value.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <cmath>

namespace lanqi::xls {
// Shown by the test on a failure.
void PrintTo(const CellValue& v, std::ostream* out) {
    *out << static_cast<int>(v.kind) << " " << v.number << " " << v.text;
}
} // namespace lanqi::xls

namespace lanqi {
namespace {

using test::le16;
using test::operator+;
using xls::Bytes;
using xls::CellValue;
namespace formula = xls::formula;

// What LibreOffice shows for TEXT(value; format).
struct TextCase {
    double value;
    const char* format;
    const char* shown;
};
constexpr TextCase kTextCases[] = {
    {0.125, "0.00", "0.13"},
    {1.005, "0.00", "1.01"}, // as the user sees 1.005, not as the double lies below it
    {2.5, "0", "3"},
    {-2.5, "0", "-3"},
    {1234567.891, "#,##0.00", "1,234,567.89"},
    {0.125, "0.0%", "12.5%"},
    {-12, "0.00;(0.00)", "(12.00)"},
    {0, "0.00;-0.00;\"零\"", "零"},
    {-0.4, "[$¥-804]#,##0.00", "-¥0.40"},
    {5551234, "000-0000", "555-1234"},
    {21979, "[DBNum2][$-804]0", "贰万壹仟玖佰柒拾玖"},
    {101000, "[DBNum2][$-804]0", "壹拾万壹仟"},
    {100010, "[DBNum2][$-804]0", "壹拾万零壹拾"},
    {1010000, "[DBNum2][$-804]0", "壹佰零壹万"},
    {100000001, "[DBNum2][$-804]0", "壹亿零壹"},
    {1e15, "[DBNum2][$-804]0", "壹仟兆"},
    {1.5, "[DBNum2][$-804]0", "贰"},
    {0, "[DBNum2][$-804]0", "零"},
    {-12, "[DBNum2][$-804]0", "负壹拾贰"},
    {101, "[DBNum1][$-804]0", "一百〇一"},
    {-12, "[DBNum1][$-804]0", "－一十二"},
    {21979, "[DBNum3][$-804]0", "２１９７９"},
    {45000, "yyyy-mm-dd", "2023-03-15"},
    {45000.5, "yyyy\"年\"m\"月\"d\"日 \"hh:mm", "2023年3月15日 12:00"},
    {45000.75, "[$-804]h:mm AM/PM", "6:00 下午"},
    {0.5, "#,###.00", ".50"},    // only whole-number 0s show a zero before the point
    {0.5, "#,#00.00", "00.50"},
    {5, "[>10]0;0.00", "5.00"},  // conditions pick the section
    {15, "[>10]0;0.00", "15"},
    {50, "[>=100]0;[>=10]0.0;0.00", "50.0"},
    {5, "[>=100]0;[>=10]0.0;0.00", "5.00"},
};

TEST(TextFunction, FormatsAsLibreOfficeShows) {
    for (const TextCase& c : kTextCases)
        EXPECT_EQ(formula::formatNumber(c.value, c.format), c.shown) << c.value << " " << c.format;
}

// Formats the spreadsheet programs show differently, or that the engine
// does not know, are left to the spreadsheet program.
TEST(TextFunction, LeavesFormatsThePeersDisagreeOn) {
    const TextCase left[] = {
        {1, "#.##", ""},               // Excel keeps the point, LibreOffice drops it
        {12, "[DBNum2]0", ""},         // Chinese numerals only in a Chinese locale
        {30, "yyyy-mm-dd", ""},        // dates before March 1900 differ
        {-0.4, "0", ""},               // -0 or 0
        {12, "0.00E+00", ""},
        {-12, "[>100]0;0", ""},        // where the minus goes with conditions
        {45000.75, "h:mm AM/PM", ""},  // the reader's language: AM or 上午
        {45000, "d mmm yyyy", ""},
        {45000, "dddd", ""},
        {100.49999999999999, "0", ""}, // a half at 15 digits that the double lies below
        {12, "0.00_);(0.00)", ""},
    };
    for (const TextCase& c : left)
        EXPECT_THROW(formula::formatNumber(c.value, c.format), formula::NotEvaluated) << c.format;
}

TEST(Rounding, HalvesAwayFromZeroAtFifteenDigits) {
    using formula::Rounding;
    struct Case {
        double value;
        int places;
        Rounding how;
        double rounded;
    };
    const Case cases[] = {
        {1.005, 2, Rounding::HalfAway, 1.01},       {2.675, 2, Rounding::HalfAway, 2.68},
        {-2.5, 0, Rounding::HalfAway, -3},
        {1234.5, -2, Rounding::HalfAway, 1200},     {1.11, 1, Rounding::Up, 1.2},
        {-1.19, 1, Rounding::Down, -1.1},           {0.1 + 0.2, 1, Rounding::Up, 0.3},
        {2197930.0000000005, 0, Rounding::HalfAway, 2197930},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formula::roundTo(c.value, c.places, c.how), c.rounded) << c.value << " " << c.places;
    // Halves at 15 digits that the double lies below: rounded up as seen, down as stored.
    for (double half : {100.49999999999999, 0.49999999999999994})
        EXPECT_THROW(formula::roundTo(half, 0, Rounding::HalfAway), formula::NotEvaluated) << half;
    EXPECT_EQ(formula::approxFloor(2.9999999999999996), 3);
    EXPECT_EQ(formula::generalText(0.1 + 0.2), "0.3");
    EXPECT_EQ(formula::generalText(-1234567.891), "-1234567.891");
}

// Tokens for the hand-made formulas below.
Bytes ref(std::uint16_t row, std::uint16_t col) {
    return Bytes{0x44} + le16(row) + le16(col); // ptgRefV, absolute
}
Bytes integer(std::uint16_t v) {
    return Bytes{0x1E} + le16(v);
}
Bytes text(const std::string& ascii) {
    return Bytes{0x17, static_cast<std::uint8_t>(ascii.size()), 0} + Bytes(ascii.begin(), ascii.end());
}
Bytes func(std::uint16_t id) {
    return Bytes{0x41} + le16(id); // ptgFuncV
}
Bytes funcVar(std::uint8_t args, std::uint16_t id) {
    return Bytes{0x42, args} + le16(id); // ptgFuncVarV
}
Bytes area(std::uint16_t r1, std::uint16_t r2, std::uint16_t c1, std::uint16_t c2) {
    return Bytes{0x25} + le16(r1) + le16(r2) + le16(c1) + le16(c2); // ptgArea
}
Bytes utf16(const std::u16string& s) {
    Bytes b{0x17, static_cast<std::uint8_t>(s.size()), 1};
    for (char16_t c : s) b = b + le16(c);
    return b;
}
Bytes num(double v) {
    return Bytes{0x1F} + test::f64(v);
}
constexpr std::uint8_t kAdd = 0x03, kMul = 0x05, kDiv = 0x06, kConcat = 0x08, kGt = 0x0D,
                       kUminus = 0x13, kMissArg = 0x16;
const Bytes kEmptyArg{kMissArg};

// Sheet 原木一, row 1 (A1 written by the test, the rest formulas):
//   B1 = C1 + 1    C1 = A1 * 2       D1 = D1 + A1 (circular)   E1 = "n" & A1
//   F1 = A1 / 0    G1 = A1 > 10      H1 = RAND() (not evaluated) I1 = A2 & A2
//   J1 = LEN(A1)   K1 = B1 * 2       L2:M2 = the cell up and left, one shared formula
xls::Document formulasOverA1() {
    auto cell = [](std::uint16_t col, const Bytes& tokens) { return test::formulaCell(0, col, tokens); };
    std::vector<xls::RawRecord> cells = {
        cell(1, ref(0, 2) + integer(1) + Bytes{kAdd}),
        cell(2, ref(0, 0) + integer(2) + Bytes{kMul}),
        cell(3, ref(0, 3) + ref(0, 0) + Bytes{kAdd}),
        cell(4, text("n") + ref(0, 0) + Bytes{kConcat}),
        cell(5, ref(0, 0) + integer(0) + Bytes{kDiv}),
        cell(6, ref(0, 0) + integer(10) + Bytes{kGt}),
        cell(7, func(63)),
        cell(8, ref(1, 0) + ref(1, 0) + Bytes{kConcat}),
        cell(9, ref(0, 0) + func(32)),
        cell(10, ref(0, 1) + integer(2) + Bytes{kMul}),
    };
    // Row 2: L2:M2 share "the cell one row up, one column left" (ptgRefN).
    const Bytes upLeft = Bytes{0x2C} + le16(0xFFFF) + le16(0xC0FF);
    cells.push_back(test::formulaCell(1, 11, test::pointer(1, 1, 11)));
    cells.push_back(test::record(xls::rec::kShrFmla,
                                 le16(1) + le16(1) + Bytes{11, 12, 0, 2} + le16(5) + upLeft));
    cells.push_back(test::formulaCell(1, 12, test::pointer(1, 1, 11)));
    test::BookSpec plan;
    plan.sheets = {{"原木一", cells, {}}};
    return xls::Document::parse(test::buildFile(plan));
}

TEST(FormulaResults, StoredInDependencyOrderForPeersThatDoNotCalculate) {
    auto doc = formulasOverA1();
    const std::string longText(5000, 'x');
    doc.setCell(0, 0, 0, CellValue::ofNumber(21.5));
    doc.setCell(0, 1, 0, CellValue::ofText(longText + "木"));
    auto saved = xls::Document::parse(doc.serialize());
    struct Expect {
        std::uint16_t col;
        CellValue shown;
    };
    const Expect expected[] = {
        {1, CellValue::ofNumber(44)},
        {2, CellValue::ofNumber(43)},
        {3, CellValue::ofNumber(0)}, // circular: as it was stored
        {4, CellValue::ofText("n21.5")},
        {5, CellValue::ofError("#DIV/0!")},
        {6, CellValue::ofBoolean(true)},
        {7, CellValue::ofNumber(0)}, // RAND: as it was stored
        {8, CellValue::ofText(longText + "木" + longText + "木")}, // past one record: CONTINUE
        {9, CellValue::ofNumber(4)},
        {10, CellValue::ofNumber(88)},
    };
    for (const Expect& e : expected)
        EXPECT_EQ(saved.cell(0, 0, e.col), e.shown) << "column " << e.col;
    EXPECT_EQ(saved.cell(0, 1, 11), CellValue::ofNumber(88)); // shared: K1
    EXPECT_EQ(saved.cell(0, 1, 12), CellValue::ofNumber(0));  // shared: L1, empty
}

TEST(FormulaResults, FormulasOverCellsNotWrittenKeepTheirResults) {
    auto doc = formulasOverA1();
    doc.setCell(0, 5, 5, CellValue::ofNumber(1));
    auto saved = xls::Document::parse(doc.serialize());
    for (std::uint16_t col = 1; col <= 10; ++col)
        EXPECT_EQ(saved.cell(0, 0, col), CellValue::ofNumber(0)) << "column " << col;
}

// The functions over a small price list the test writes: A1:A4 diameters
// 20, 24, 28, 32; B1:B4 species 松木, 杉木, 松木, 桦木; C1:C4 prices; F1 a
// format with conditions. D1:D4 are formulas A > 26: FALSE, FALSE, TRUE, TRUE.
TEST(FormulaResults, FunctionsOverAWrittenList) {
    struct Case {
        const char* what;
        Bytes tokens;
        CellValue shown;
    };
    const Bytes diameters = area(0, 3, 0, 0), species = area(0, 3, 1, 1), prices = area(0, 3, 2, 2);
    const Case cases[] = {
        {"SUM", diameters + funcVar(1, 4), CellValue::ofNumber(104)},
        {"AVERAGE", prices + funcVar(1, 5), CellValue::ofNumber(1025)},
        {"COUNTIF >24", diameters + text(">24") + func(346), CellValue::ofNumber(2)},
        {"SUMIF 松木", species + utf16(u"松木") + prices + funcVar(3, 345), CellValue::ofNumber(2000)},
        {"SUMIF 松*", species + utf16(u"松*") + prices + funcVar(3, 345), CellValue::ofNumber(2000)},
        {"VLOOKUP exact", integer(28) + area(0, 3, 0, 2) + integer(3) + Bytes{0x1D, 0} + funcVar(4, 102),
         CellValue::ofNumber(1050)},
        {"VLOOKUP sorted", integer(30) + area(0, 3, 0, 1) + integer(2) + funcVar(3, 102),
         CellValue::ofText("松木")},
        {"VLOOKUP missing", integer(99) + area(0, 3, 0, 1) + integer(2) + Bytes{0x1D, 0} + funcVar(4, 102),
         CellValue::ofError("#N/A")},
        {"MATCH", utf16(u"桦木") + species + integer(0) + funcVar(3, 64), CellValue::ofNumber(4)},
        {"INDEX", prices + integer(2) + funcVar(2, 29), CellValue::ofNumber(1000)},
        {"MAX-MIN", diameters + funcVar(1, 7) + diameters + funcVar(1, 6) + Bytes{0x04},
         CellValue::ofNumber(12)},
        {"ROUND", ref(0, 2) + integer(3) + Bytes{kDiv} + integer(1) + func(27), CellValue::ofNumber(316.7)},
        {"TEXT", ref(0, 2) + integer(21) + Bytes{kMul} + text("[DBNum2][$-804]0") + func(48),
         CellValue::ofText("壹万玖仟玖佰伍拾")},
        {"LEFT", ref(0, 1) + integer(1) + funcVar(2, 115), CellValue::ofText("松")},
        {"AND", ref(0, 0) + integer(10) + Bytes{kGt} + ref(0, 2) + integer(0) + Bytes{kGt} + funcVar(2, 36),
         CellValue::ofBoolean(true)},
        // An empty argument is not one left out.
        {"LEFT(B1,)", ref(0, 1) + kEmptyArg + funcVar(2, 115), CellValue::ofText("")},
        {"MIN(A1,)", ref(0, 0) + kEmptyArg + funcVar(2, 6), CellValue::ofNumber(0)},
        {"AVERAGE(A1,)", ref(0, 0) + kEmptyArg + funcVar(2, 5), CellValue::ofNumber(10)},
        {"AND(A1>10,)", ref(0, 0) + integer(10) + Bytes{kGt} + kEmptyArg + funcVar(2, 36),
         CellValue::ofBoolean(false)},
        {"COUNT(A1,,A2)", ref(0, 0) + kEmptyArg + ref(1, 0) + funcVar(3, 0), CellValue::ofNumber(3)},
        {"MATCH(25,A1:A4,)", integer(25) + diameters + kEmptyArg + funcVar(3, 64), CellValue::ofError("#N/A")},
        {"VLOOKUP(30,A1:B4,2,)", integer(30) + area(0, 3, 0, 1) + integer(2) + kEmptyArg + funcVar(4, 102),
         CellValue::ofError("#N/A")},
        // COUNTIF: "=" is the empty cells, logicals compare with logicals.
        {"COUNTIF =", area(0, 5, 1, 1) + text("=") + func(346), CellValue::ofNumber(2)},
        {"COUNTIF <TRUE", area(0, 5, 3, 3) + text("<TRUE") + func(346), CellValue::ofNumber(2)},
        {"COUNTIF <>TRUE over numbers", area(0, 3, 2, 3) + text("<>TRUE") + func(346),
         CellValue::ofNumber(0)}, // LibreOffice takes TRUE for 1: as it was stored
        {"TEXT .50", ref(0, 2) + integer(1900) + Bytes{kDiv} + text("#,###.00") + func(48), CellValue::ofText(".50")},
        {"TEXT, conditions from a cell", ref(0, 2) + ref(0, 5) + func(48), CellValue::ofText("950.00")},
        // -0 is stored as 0.
        {"-(A1*0)", ref(0, 0) + integer(0) + Bytes{kMul, kUminus}, CellValue::ofNumber(0)},
        {"ROUND(-A1/50000,2)", ref(0, 0) + Bytes{kUminus} + integer(50000) + Bytes{kDiv} + integer(2) + func(27),
         CellValue::ofNumber(0)},
        // Past 15 significant digits: as it was stored.
        {"MOD(C1*10^11+0.1,7)", ref(0, 2) + num(1e11) + Bytes{kMul} + num(0.1) + Bytes{kAdd} + integer(7) + func(39),
         CellValue::ofNumber(0)},
        // A whole amount in fen of 15 digits: exact.
        {"MOD(C1*10^11,7)", ref(0, 2) + num(1e11) + Bytes{kMul} + integer(7) + func(39), CellValue::ofNumber(4)},
        {"ROUND(100.49999999999999+A1*0,0)",
         num(100.49999999999999) + ref(0, 0) + integer(0) + Bytes{kMul, kAdd} + integer(0) + func(27),
         CellValue::ofNumber(0)},
    };
    std::vector<xls::RawRecord> cells;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        cells.push_back(test::formulaCell(static_cast<std::uint16_t>(i), 4, cases[i].tokens));
    for (std::uint16_t r = 0; r < 4; ++r)
        cells.push_back(test::formulaCell(r, 3, ref(r, 0) + integer(26) + Bytes{kGt}));
    test::BookSpec plan;
    plan.sheets = {{"原木一", cells, {}}};
    auto doc = xls::Document::parse(test::buildFile(plan));
    const char* kinds[] = {"松木", "杉木", "松木", "桦木"};
    for (std::uint32_t r = 0; r < 4; ++r) {
        doc.setCell(0, r, 0, CellValue::ofNumber(20 + 4.0 * r));
        doc.setCell(0, r, 1, CellValue::ofText(kinds[r]));
        doc.setCell(0, r, 2, CellValue::ofNumber(950 + 50.0 * r));
    }
    doc.setCell(0, 0, 5, CellValue::ofText("[>1000]0;0.00"));
    auto saved = xls::Document::parse(doc.serialize());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const CellValue v = saved.cell(0, static_cast<std::uint32_t>(i), 4);
        EXPECT_EQ(v, cases[i].shown) << cases[i].what;
        EXPECT_EQ(std::signbit(v.number), std::signbit(cases[i].shown.number)) << cases[i].what;
    }
}

} // namespace
} // namespace lanqi
