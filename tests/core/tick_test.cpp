#include "calc/numeric_text.h"
#include "editing/clear.h"
#include "tests/core/tally_fixture.h"

namespace lanqi {
namespace {

using Tick = testing::TallyTest;

TEST_F(Tick, WorkedTick) {
    sheet.setText(Arr::Text25, 0, "4");
    setStandardBounds();
    sheet.setText(Arr::Text30, 2, "1000");
    sheet.setText(Arr::Text30, 3, "1200");
    setRow(0, 0, "20", "3");
    setRow(0, 1, "30", "9");
    setRow(0, 2, "12", "2");
    tick();
    EXPECT_EQ(text(Arr::Text3, 0), "0.480");
    EXPECT_EQ(text(Arr::Text3, 1), "3.096");
    EXPECT_EQ(text(Arr::Text3, 2), "0.124");
    EXPECT_EQ(text(Arr::Text2, 20), "14");
    EXPECT_EQ(text(Arr::Text3, 20), "3.7000");
    const char* expected[7][3] = {
        {"2", "0.1240", ""}, {"", "", ""}, {"3", "0.4800", "480.00"}, {"9", "3.0960", "3715.20"},
        {"", "", ""},        {"", "", ""}, {"14", "3.7000", ""}};
    for (int k = 0; k <= 6; ++k) {
        EXPECT_EQ(text(Arr::Text28, k), expected[k][0]) << k;
        EXPECT_EQ(text(Arr::Text29, k), expected[k][1]) << k;
        EXPECT_EQ(text(Arr::Text31, k), expected[k][2]) << k;
    }
    tick();
    EXPECT_EQ(text(Arr::Text31, 6), "4195.20");
    // Blocks 2–4 have lengths but no counts: their totals stay empty.
    for (int b = 1; b < 4; ++b) {
        EXPECT_EQ(text(kBlocks[b].count, 20), "");
        EXPECT_EQ(text(kBlocks[b].volume, 20), "");
    }
}

TEST_F(Tick, NewSheetBlanksToEmptyEverywhere) {
    tick(2);
    EXPECT_EQ(nonEmptyFields(), (std::vector<std::string>{"Text25(1)", "Text25(2)", "Text25(3)"}));
}

TEST_F(Tick, CountWithoutDiameterAddsPiecesButNoVolume) {
    sheet.setText(Arr::Text25, 0, "4");
    setStandardBounds();
    setRow(0, 0, "", "5");
    setRow(0, 1, "20", "1");
    tick();
    EXPECT_EQ(text(Arr::Text3, 0), ""); // the formula gives 0.0065 for diameter 0
    EXPECT_EQ(text(Arr::Text2, 20), "6");
    EXPECT_EQ(text(Arr::Text3, 20), "0.1600");
    EXPECT_EQ(text(Arr::Text28, 0), "5");
    EXPECT_EQ(text(Arr::Text29, 0), "");
    EXPECT_EQ(text(Arr::Text29, 6), "0.1600");
}

TEST_F(Tick, NonNumericOrBlankDiameterKeepsItsVolume) {
    sheet.setText(Arr::Text25, 0, "4");
    setRow(0, 0, "abc", "10");
    setRow(0, 1, " ", "10");
    tick();
    EXPECT_EQ(text(Arr::Text3, 0), "0.0130");
    EXPECT_EQ(text(Arr::Text3, 1), "0.0130");
}

TEST_F(Tick, GradesByBoundMinusOne) {
    setStandardBounds();
    sheet.setText(Arr::Text25, 0, "4");
    const char* diameters[] = {"12", "13", "13.5", "14", "19", "19.5",
                               "20", "37", "37.5", "38", "60"};
    const int rows[] = {0, 0, 1, 1, 1, 2, 2, 4, 5, 5, 5};
    for (int i = 0; i < 11; ++i) {
        Command1_Click(sheet);
        for (int r = 0; r < 20; ++r) sheet.setText(Arr::Text1, r, "");
        setRow(0, 0, diameters[i], "1");
        tick();
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(text(Arr::Text28, k), k == rows[i] ? "1" : "")
                << diameters[i] << " row " << k;
    }
}

TEST_F(Tick, BoundsOutOfOrderSendUnplacedRowsToTheLastRow) {
    setBounds({"", "14", "20", "26", "18", "16"});
    sheet.setText(Arr::Text25, 0, "4");
    setRow(0, 0, "27", "1"); // fits none of the tests for rows 1–4
    setRow(0, 1, "10", "1"); // row 0
    tick();
    EXPECT_EQ(text(Arr::Text28, 0), "1");
    EXPECT_EQ(text(Arr::Text28, 5), "1");
}

TEST_F(Tick, EmptyBoundsSendEverythingToTheLastRow) {
    sheet.setText(Arr::Text25, 0, "4");
    setRow(0, 0, "20", "2");
    tick();
    EXPECT_EQ(text(Arr::Text28, 5), "2");
    EXPECT_EQ(text(Arr::Text29, 5), "0.3200");
}

TEST_F(Tick, FractionalAndNegativeCounts) {
    sheet.setText(Arr::Text25, 0, "4");
    setStandardBounds();
    setRow(0, 0, "20", "2.5");
    setRow(0, 1, "20", "1");
    setRow(1, 0, "20", "-3");
    sheet.setText(Arr::Text25, 1, "4");
    tick();
    EXPECT_EQ(text(Arr::Text2, 20), "3.5");
    EXPECT_EQ(text(Arr::Text3, 0), "0.400");
    EXPECT_EQ(text(Arr::Text6, 0), "");  // -0.480 sorts before 0.0001
    EXPECT_EQ(text(Arr::Text5, 20), ""); // -3 sorts before 1
    EXPECT_EQ(text(Arr::Text28, 2), ""); // 2.5 + 1 - 3 = 0.5 sorts before 1
    EXPECT_EQ(text(Arr::Text29, 2), "0.5600");
}

TEST_F(Tick, TwoBlocksShareAGradingRowButNotTheirTotals) {
    sheet.setText(Arr::Text25, 0, "4");
    sheet.setText(Arr::Text25, 1, "4");
    setStandardBounds();
    setRow(0, 3, "20", "3");
    setRow(1, 7, "20", "4");
    tick();
    EXPECT_EQ(text(Arr::Text28, 2), "7");
    EXPECT_EQ(text(Arr::Text2, 20), "3");
    EXPECT_EQ(text(Arr::Text5, 20), "4");
    EXPECT_EQ(text(Arr::Text29, 2), "1.1200");
}

TEST_F(Tick, GrandVolumeSumsTheShownRoundedRows) {
    sheet.setText(Arr::Text25, 0, "4");
    setStandardBounds();
    setRow(0, 0, "6", "1");  // 0.0201 in row 0
    setRow(0, 1, "20", "1"); // 0.160 in row 2
    sheet.setText(Arr::Text30, 0, "333.33");
    tick(2);
    EXPECT_EQ(
        text(Arr::Text29, 6),
        fixedNumber(leadingNumber(text(Arr::Text29, 0)) + leadingNumber(text(Arr::Text29, 2)), 4));
    EXPECT_EQ(text(Arr::Text31, 0), "6.70"); // 333.33 × 0.0201
}

TEST_F(Tick, AmountTotalFollowsAPriceChangeOneTickLater) {
    sheet.setText(Arr::Text25, 0, "4");
    setStandardBounds();
    setRow(0, 0, "20", "10");
    sheet.setText(Arr::Text30, 2, "1000");
    tick(2);
    EXPECT_EQ(text(Arr::Text31, 6), "1600.00");
    sheet.setText(Arr::Text30, 2, "2000");
    tick();
    EXPECT_EQ(text(Arr::Text31, 2), "3200.00");
    EXPECT_EQ(text(Arr::Text31, 6), "1600.00");
    tick();
    EXPECT_EQ(text(Arr::Text31, 6), "3200.00");
}

TEST_F(Tick, TypedComputedFieldsAreReplacedAndShownRangesIgnored) {
    sheet.setText(Arr::Text25, 0, "4");
    setBounds({"99", "14", "20", "26", "32", "38"});
    sheet.setText(Arr::Text27, 2, "1");
    setRow(0, 0, "20", "1");
    sheet.setText(Arr::Text29, 3, "5.0000");
    sheet.setText(Arr::Text2, 20, "77");
    tick();
    EXPECT_EQ(text(Arr::Text29, 3), "");
    EXPECT_EQ(text(Arr::Text2, 20), "1");
    EXPECT_EQ(text(Arr::Text28, 2), "1");
}

TEST_F(Tick, OverflowingInputsNeverStopTheTick) {
    sheet.setText(Arr::Text25, 0, "4");
    setRow(0, 0, "1e200", "1");
    setRow(0, 1, "20", "1e300");
    setRow(0, 2, "20", "1e300");
    sheet.setText(Arr::Text30, 5, "1e308");
    tick(2);
    EXPECT_EQ(text(Arr::Text3, 0), std::string(kOverflowText));
    EXPECT_EQ(text(Arr::Text2, 20), "2E+300");
    EXPECT_EQ(text(Arr::Text31, 5), std::string(kOverflowText));
}

TEST_F(Tick, SumsOverAnOverflowShowTheOverflow) {
    sheet.setText(Arr::Text25, 0, "4");
    sheet.setText(Arr::Text25, 1, "4");
    setStandardBounds();
    sheet.setText(Arr::Text30, 5, "1000");
    setRow(0, 0, "1e200", "1"); // its volume overflows
    setRow(0, 1, "40", "2");
    setRow(1, 0, "40", "3");
    tick(2);
    const std::string overflow(kOverflowText);
    const struct {
        Arr arr;
        int index;
        std::string expected;
    } fields[] = {
        {Arr::Text3, 0, overflow},  {Arr::Text3, 20, overflow}, {Arr::Text29, 5, overflow},
        {Arr::Text31, 5, overflow}, {Arr::Text29, 6, overflow}, {Arr::Text31, 6, overflow},
        {Arr::Text28, 5, "6"},      {Arr::Text28, 6, "6"},      {Arr::Text2, 20, "3"},
        {Arr::Text6, 20, "1.7910"}, {Arr::Text6, 0, "1.791"},
    };
    for (const auto& f : fields)
        EXPECT_EQ(text(f.arr, f.index), f.expected) << fieldName({f.arr, f.index});
}

} // namespace
} // namespace lanqi
