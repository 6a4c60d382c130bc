#include "calc/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lanqi {
namespace {

TEST(LeadingNumber, ReadsTheLongestLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},        {"20", 20},    {"20cm", 20},  {"1,5", 1},     {"abc", 0},
        {"-", 0},       {"+", 0},      {".", 0},      {"-3", -3},     {"+4.5", 4.5},
        {".5", 0.5},    {"-.5", -0.5}, {"00.5", 0.5}, {"1.2.3", 1.2}, {"1e3", 1000},
        {"2E-2", 0.02}, {"1e", 1},     {"1e+", 1},    {"3E+x", 3},    {" 1 2 ", 12},
        {"\t7\n", 7},   {"1\r2", 1},   {"- 5", -5},   {"x5", 0},      {"溢出", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
}

// The exact sums kept beside shown texts: volumes in 0.0001 m³, amounts in fen.
TEST(DecimalUnits, ReadsShownTextsAsExactIntegers) {
    struct Case {
        const char* text;
        int places;
        std::optional<std::int64_t> units;
    } cases[] = {
        {"4.941", 4, 49410},   {"0.0005", 4, 5},       {"21979.30", 2, 2197930},
        {"7", 4, 70000},       {".5", 2, 50},          {"-12.5", 2, -1250},
        {"+3", 0, 3},          {"12.345", 2, 1235},    {"12.344", 2, 1234},
        {"0.1", 4, 1000},      {"", 2, std::nullopt},  {"溢出", 2, std::nullopt},
        {"1e3", 2, std::nullopt}, {"-", 2, std::nullopt}, {"1.2.3", 2, std::nullopt},
        {"99999999999999999999", 2, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(decimalUnits(c.text, c.places), c.units) << c.text;
}

TEST(AsciiNumberForms, TurnFullWidthNumberFormsIntoAscii) {
    const char* cases[][2] = {
        {"２０", "20"},
        {"－１．５Ｅ＋２", "-1.5E+2"},
        {"３ｅ２", "3e2"},
        {"20cm", "20cm"},
        {"２０ｃｍ", "20ｃｍ"},
        {"１,５", "1,5"},
        {"溢出", "溢出"},
        {"", ""},
        {"\xEF\xBC", "\xEF\xBC"},
        {"（１）", "（1）"},
        {"ｚ", "ｚ"},
        {"Ａ", "Ａ"},
    };
    for (auto& c : cases) EXPECT_EQ(asciiNumberForms(c[0]), c[1]) << c[0];
    EXPECT_DOUBLE_EQ(leadingNumber(asciiNumberForms("２０")), 20);
    EXPECT_DOUBLE_EQ(leadingNumber("２０"), 0); // the parse itself is unchanged
}

TEST(LeadingNumber, HugeExponentsStayDefined) {
    EXPECT_TRUE(std::isinf(leadingNumber("1e400")));
    EXPECT_TRUE(std::isinf(leadingNumber("-1e400")));
    EXPECT_EQ(leadingNumber("1e-400"), 0.0);
}

TEST(PlainNumber, WritesShortestPlainText) {
    EXPECT_EQ(plainNumber(7), "7");
    EXPECT_EQ(plainNumber(3.5), "3.5");
    EXPECT_EQ(plainNumber(0.25), "0.25");
    EXPECT_EQ(plainNumber(0), "0");
    EXPECT_EQ(plainNumber(-0.0), "0");
    EXPECT_EQ(plainNumber(-12), "-12");
    EXPECT_EQ(plainNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(plainNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(plainNumber(1e20), "1E+20");
    EXPECT_EQ(plainNumber(1.5e-7), "1.5E-07");
    EXPECT_EQ(plainNumber(HUGE_VAL), std::string(kOverflowText));
    EXPECT_DOUBLE_EQ(leadingNumber(plainNumber(1.5e-7)), 1.5e-7);
}

TEST(FixedNumber, RoundsHalvesAwayFromZeroOnTheDecimalValue) {
    // The nearest doubles to these halves lie just below them.
    EXPECT_EQ(fixedNumber(0.0015, 3), "0.002");
    EXPECT_EQ(fixedNumber(0.00025, 4), "0.0003");
    EXPECT_EQ(fixedNumber(1.005, 2), "1.01");
    EXPECT_EQ(fixedNumber(2.675, 2), "2.68");
    EXPECT_EQ(fixedNumber(-0.0015, 3), "-0.002");
    EXPECT_EQ(fixedNumber(0.00149999, 3), "0.001");
    EXPECT_EQ(fixedNumber(3715.2, 2), "3715.20");
}

TEST(FixedNumber, PadsCarriesAndKeepsOneLeadingDigit) {
    EXPECT_EQ(fixedNumber(0, 4), "0.0000");
    EXPECT_EQ(fixedNumber(0.99995, 4), "1.0000");
    EXPECT_EQ(fixedNumber(9.9995, 3), "10.000");
    EXPECT_EQ(fixedNumber(999.995, 2), "1000.00");
    EXPECT_EQ(fixedNumber(0.5, 0), "1");
    EXPECT_EQ(fixedNumber(12, 3), "12.000");
    EXPECT_EQ(fixedNumber(-0.00001, 3), "0.000");
    EXPECT_EQ(fixedNumber(1e20, 2), "100000000000000000000.00");
    EXPECT_EQ(fixedNumber(NAN, 2), std::string(kOverflowText));
}

TEST(OrdinalComparison, ComparesByCharacterCode) {
    EXPECT_TRUE(sortsBefore("", "1"));
    EXPECT_FALSE(sortsBefore("", ""));
    EXPECT_TRUE(sortsBefore("0", "1"));
    EXPECT_TRUE(sortsBefore("0.000", "0.0001")); // a proper prefix first
    EXPECT_FALSE(sortsBefore("0.0001", "0.0001"));
    EXPECT_FALSE(sortsBefore("0.00011", "0.0001"));
    EXPECT_TRUE(sortsBefore("-3", "1")); // the minus sign sorts below the digits
    EXPECT_TRUE(sortsBefore(".5", "0.01"));
    EXPECT_FALSE(sortsBefore("00.5", "0.0001")); // the second 0 sorts above the point
    EXPECT_FALSE(sortsBefore("10", "1"));
    EXPECT_TRUE(sortsBefore(" ", "0"));
    EXPECT_FALSE(sortsBefore("溢出", "0.0001")); // bytes above 0x7f sort after ASCII
}

} // namespace
} // namespace lanqi
