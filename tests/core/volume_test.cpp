#include "calc/numeric_text.h"
#include "calc/volume.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

TEST(LogVolume, WorkedValues) {
    struct Case {
        const char *d, *n, *l, *result;
    } cases[] = {
        {"20", "3", "4", "0.480"},    {"6", "10", "4", "0.2010"},  {"7", "1", "4", "0.0254"},
        {"8", "1", "4", "0.031"},     {"12", "1", "4", "0.062"},   {"13", "2", "8", "0.382"},
        {"30", "9", "6", "4.941"},    {"20", "1", "2", "0.072"},   {"20", "1", "10", "0.519"},
        {"20", "1", "10.5", "0.536"}, {"20", "1", "1.8", "0.063"}, {"6", "1", "1.8", "0.0069"},
        {"16", "12", "2.6", "0.756"}, {"0", "0", "4", "0.0000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaiJiJiSuan(c.d, c.n, c.l), c.result) << c.d << " " << c.n << " " << c.l;
}

TEST(LogVolume, CaseBoundsAndPatterns) {
    EXPECT_EQ(CaiJiJiSuan("7", "1", "4").size(), 6u);   // four decimals up to 7 cm
    EXPECT_EQ(CaiJiJiSuan("7.5", "1", "4").size(), 5u); // three above
    // Formula C from 13 cm, B below: at 12.9 and 13 the two formulas differ.
    EXPECT_EQ(CaiJiJiSuan("12.9", "1", "8"), "0.175");
    EXPECT_EQ(CaiJiJiSuan("13", "1", "8"), "0.191");
    // 2 m and 10 m belong to the middle range, 1.99 and 10.01 use formula A.
    EXPECT_EQ(CaiJiJiSuan("20", "1", "1.99"), "0.070");
    EXPECT_EQ(CaiJiJiSuan("20", "1", "10.01"), "0.501");
}

TEST(LogVolume, RoundsPerPieceBeforeMultiplying) {
    // 0.549249... per piece rounds to 0.549: nine pieces give 4.941, not 4.943.
    EXPECT_EQ(CaiJiJiSuan("30", "9", "6"), "4.941");
    EXPECT_EQ(CaiJiJiSuan("20", "12", "4"), "1.920");
    EXPECT_EQ(CaiJiJiSuan("20", "2.5", "4"), "0.400");
    EXPECT_EQ(CaiJiJiSuan("20", "-3", "4"), "-0.480");
}

TEST(LogVolume, ParsesTextsByTheirLeadingNumber) {
    EXPECT_EQ(CaiJiJiSuan("20cm", "3", "4"), "0.480");
    EXPECT_EQ(CaiJiJiSuan("abc", "1", "4"), "0.0013");
    EXPECT_EQ(CaiJiJiSuan("20", "", "4"), "0.000");
    EXPECT_EQ(CaiJiJiSuan("20", "3", ""), "0.000");
}

TEST(LogVolume, HugeInputsGiveTheOverflowText) {
    const std::string overflow(kOverflowText);
    EXPECT_EQ(CaiJiJiSuan("1e200", "1", "4"), overflow);
    EXPECT_EQ(CaiJiJiSuan("20", "1e309", "4"), overflow);
    EXPECT_EQ(CaiJiJiSuan("20", "1", "1e200"), overflow);
    EXPECT_EQ(CaiJiJiSuan("1e400", "1", "1e400"), overflow);
    EXPECT_EQ(CaiJiJiSuan("-1e400", "1", "4"), overflow);
}

TEST(LogVolume, HugeFiniteVolumesKeepTheirDigits) {
    EXPECT_DOUBLE_EQ(leadingNumber(CaiJiJiSuan("20", "1e300", "4")), 0.16e300);
}

} // namespace
} // namespace lanqi
