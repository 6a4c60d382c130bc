#include "tests/core/tally_fixture.h"

namespace lanqi {
namespace {

using Blanking = testing::TallyTest;

TEST_F(Blanking, ThresholdsByOrdinalComparison) {
    struct Case {
        Arr arr;
        int index;
        const char* text;
        bool kept;
    } cases[] = {
        {Arr::Text28, 0, "0", false},      {Arr::Text28, 1, "1", true},
        {Arr::Text28, 2, "10", true},      {Arr::Text28, 3, "-3", false},
        {Arr::Text28, 6, ".5", false},     {Arr::Text29, 0, "0.0000", false},
        {Arr::Text29, 1, "0.0001", true},  {Arr::Text29, 2, "-0.5000", false},
        {Arr::Text29, 3, "00.5", true},    {Arr::Text29, 6, "3.25", true},
        {Arr::Text31, 0, "0.00", false},   {Arr::Text31, 1, "0.01", true},
        {Arr::Text31, 2, "-12.00", false}, {Arr::Text31, 6, "5", true},
        {Arr::Text2, 20, "0", false},      {Arr::Text5, 20, "1", true},
        {Arr::Text3, 20, "0.000", false},  {Arr::Text12, 20, "0.0001", true},
    };
    for (const Case& c : cases) {
        sheet.setText(c.arr, c.index, c.text);
        EXPECT_EQ(text(c.arr, c.index), c.kept ? c.text : "") << fieldName({c.arr, c.index});
    }
}

TEST_F(Blanking, RowVolumeNeedsADiameter) {
    sheet.setText(Arr::Text6, 4, "0.5");
    EXPECT_EQ(text(Arr::Text6, 4), ""); // typed into a row without a diameter
    sheet.setText(Arr::Text4, 4, "20");
    sheet.setText(Arr::Text6, 4, "0.5");
    EXPECT_EQ(text(Arr::Text6, 4), "0.5");
    sheet.setText(Arr::Text4, 5, " "); // a blank is not empty
    sheet.setText(Arr::Text6, 5, "0.001");
    EXPECT_EQ(text(Arr::Text6, 5), "0.001");
    // A change anywhere in the column rescans all of it.
    sheet.setText(Arr::Text4, 4, "");
    sheet.setText(Arr::Text6, 19, "x");
    EXPECT_EQ(text(Arr::Text6, 4), "");
}

TEST_F(Blanking, TypingACountRechecksOnlyTheBlockTotal) {
    sheet.setText(Arr::Text8, 3, "0");
    EXPECT_EQ(text(Arr::Text8, 3), "0");
    sheet.setText(Arr::Text8, 20, "0");
    EXPECT_EQ(text(Arr::Text8, 20), "");
}

TEST_F(Blanking, ARuleTouchesOnlyItsOwnArray) {
    sheet.setText(Arr::Text29, 0, "0.0000"); // emptied
    sheet.setText(Arr::Text28, 0, "0");
    sheet.setText(Arr::Text31, 0, "0.00");
    sheet.setText(Arr::Text26, 0, "0"); // no rule on bounds
    sheet.setText(Arr::Text30, 0, "0");
    EXPECT_EQ(text(Arr::Text26, 0), "0");
    EXPECT_EQ(text(Arr::Text30, 0), "0");
    EXPECT_EQ(text(Arr::Text28, 0), "");
}

} // namespace
} // namespace lanqi
