#include "calc/numeric_text.h"
#include "editing/clear.h"
#include "tests/core/tally_fixture.h"

#include <algorithm>
#include <vector>

namespace lanqi {
namespace {

class Clear : public testing::TallyTest {
  protected:
    void SetUp() override {
        sheet.setText(Arr::Text25, 0, "4");
        setBounds({"14", "14", "20", "26", "32", "38"});
        for (int k = 1; k <= 4; ++k) sheet.setText(Arr::Text27, k, std::to_string(13 + 6 * k));
        for (int k = 0; k < 6; ++k) sheet.setText(Arr::Text30, k, "1000");
        for (int b = 0; b < 4; ++b)
            for (int i = 0; i < 20; ++i) {
                sheet.setText(kBlocks[b].diameter, i, std::to_string(6 + 2 * i));
                sheet.setText(kBlocks[b].count, i, "3");
            }
        sheet.setText(Arr::Text13, 0, "备注");
        sheet.setComboText(Combo::Combo6, "某某木业");
        tick(2);
    }
};

TEST_F(Clear, CountsThenTwoTicksLeaveOnlyTheLayout) {
    EXPECT_FALSE(text(Arr::Text31, 6).empty());
    Command1_Click(sheet);
    EXPECT_EQ(text(Arr::Text2, 20), "60"); // totals are not written by the command
    tick();
    EXPECT_FALSE(text(Arr::Text31, 6).empty()); // formed from the old amounts
    tick();
    std::vector<std::string> expected;
    for (Arr arr : {Arr::Text1, Arr::Text4, Arr::Text7, Arr::Text10})
        for (int i = 0; i < 20; ++i) expected.push_back(fieldName({arr, i}));
    for (int i = 0; i < 4; ++i) expected.push_back(fieldName({Arr::Text25, i}));
    for (int i = 0; i < 6; ++i) expected.push_back(fieldName({Arr::Text26, i}));
    for (int i = 1; i <= 4; ++i) expected.push_back(fieldName({Arr::Text27, i}));
    for (int i = 0; i < 6; ++i) expected.push_back(fieldName({Arr::Text30, i}));
    expected.push_back("Text13");
    std::vector<std::string> actual = nonEmptyFields();
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
}

TEST_F(Clear, AllThenTwoTicksLeaveOnlyTheRemarks) {
    Command4_Click(sheet);
    // Amounts 0 and 5 are not emptied; their sum shows for one more tick.
    EXPECT_EQ(text(Arr::Text31, 1), "");
    double oldAmounts = leadingNumber(text(Arr::Text31, 0)) + leadingNumber(text(Arr::Text31, 5));
    EXPECT_GT(oldAmounts, 0);
    tick();
    EXPECT_EQ(text(Arr::Text31, 6), fixedNumber(oldAmounts, 2));
    tick();
    EXPECT_EQ(nonEmptyFields(), std::vector<std::string>{"Text13"});
    EXPECT_EQ(sheet.combo(Combo::Combo6).text, "某某木业");
    EXPECT_EQ(sheet.combo(Combo::Combo4).text, "购货商:");
}

TEST_F(Clear, OnAnEmptySheetChangesNothing) {
    Command4_Click(sheet);
    tick(2);
    int changes = 0;
    std::vector<Subscription> watches;
    for (int a = 0; a < kArrCount; ++a)
        watches.push_back(sheet.onChange(static_cast<Arr>(a), [&](int) { ++changes; }));
    Command4_Click(sheet);
    Command1_Click(sheet);
    EXPECT_EQ(changes, 0);
}

} // namespace
} // namespace lanqi
