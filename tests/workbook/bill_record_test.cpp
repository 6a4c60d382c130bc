// A bill taken from the sheet and put back on a fresh one gives the same
// sheet: every field, every list's text, entry and visibility.
#include "editing/blanking.h"
#include "editing/selectors.h"
#include "tally/tally_file.h"
#include "tally/tick.h"
#include "workbook/bill_record_of.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lanqi {
namespace {

// The lists as the start-up load fills them.
void fillLists(TallySheet& sheet) {
    const std::pair<Combo, std::vector<std::string>> lists[] = {
        {Combo::Combo6, {"长白山木材厂", "林海木业有限公司"}},
        {Combo::Combo5, {"兴安岭林场"}},
        {Combo::Combo1, {"赵经理", "钱经理"}},
        {Combo::Combo12, {"王检尺", "张建军"}},
        {Combo::Combo14, {"红松", "落叶松"}},
    };
    for (const auto& [list, items] : lists)
        for (size_t k = 0; k < items.size(); ++k)
            sheet.setComboItem(list, static_cast<int>(k), items[k]);
}

struct Case {
    const char* name;
    const char* partyCaption;
    const char* detailCaption;
    const char* tally;
};

// Picked entries, typed names, the other party, a detail list with and
// without a row of its own.
const Case kCases[] = {
    {"BuyerAndVehicle", "购货商:", "运输车号:",
     "buyer,林海木业有限公司\nvehicle,黑A·35812\nscaler,张建军\nspecies,落叶松\n"},
    {"TypedNamesAndContact", "购货商:", "联系人:",
     "buyer,新客户\nscaler,临时检尺\nspecies,杨木\nremarks,含\\t弯材，,两根\n"},
    {"Supplier", "供货商:", "运输车号:", "vehicle,吉B·11111\nspecies,红松\n"},
};

class BillRecordTest : public ::testing::TestWithParam<Case> {};

TEST_P(BillRecordTest, PutBackGivesTheSameSheet) {
    const Case& c = GetParam();
    TallySheet shown;
    attachBlankingRules(shown);
    fillLists(shown);
    std::ifstream sample(std::filesystem::path(LANQI_SAMPLE_TALLY));
    std::stringstream tally;
    tally << sample.rdbuf() << "\n" << c.tally;
    // The sample's own names are overridden by the case's lines that follow.
    readTallyFile(tally, shown);
    shown.setComboText(Combo::Combo4, c.partyCaption);
    shown.setComboText(Combo::Combo2, c.detailCaption);
    Combo4_Click(shown);
    // What the lists hold is picked, as the scaler picks it.
    for (int k = 0; k < kComboCount; ++k) {
        const auto list = static_cast<Combo>(k);
        const auto& items = shown.combo(list).items;
        const auto at = std::find(items.begin(), items.end(), shown.combo(list).text);
        if (at != items.end()) shown.selectComboEntry(list, static_cast<int>(at - items.begin()));
    }
    if (shown.combo(Combo::Combo6).selected >= 0) Combo6_Click(shown);
    shown.setText(Arr::Text2, 19, ""); // a row with a diameter only stays a row
    shown.setText(Arr::Text1, 19, "50");
    recalculateUntilStable(shown);
    const ledger::BillRecord bill = billRecordOf(shown, "大写：壹元整");

    TallySheet reopened;
    attachBlankingRules(reopened);
    fillLists(reopened);
    // The window holds another tally when the bill is reopened.
    std::stringstream other("row,3,10,44,5\nrow,1,1,8,3\nupper,2,99\nremarks,上一车\n");
    readTallyFile(other, reopened);
    showBillRecord(bill, reopened);

    for (FieldId f : allFields())
        EXPECT_EQ(reopened.text(f), shown.text(f)) << fieldName(f);
    // The lists on show; a hidden list is not on the bill.
    for (int k = 0; k < kComboCount; ++k) {
        const auto list = static_cast<Combo>(k);
        if (!shown.combo(list).visible) continue;
        EXPECT_EQ(reopened.combo(list).text, shown.combo(list).text) << nameOf(list);
        EXPECT_EQ(reopened.combo(list).visible, shown.combo(list).visible) << nameOf(list);
        EXPECT_EQ(reopened.combo(list).selected, shown.combo(list).selected) << nameOf(list);
    }
    // The sums beside the texts are exact: the grading rows add up to the totals.
    std::int64_t volume = 0, amount = 0;
    for (const ledger::GradingLine& g : bill.grading) {
        volume += g.volumeUnits;
        amount += g.amountFen;
    }
    EXPECT_EQ(volume, bill.volumeUnits);
    EXPECT_EQ(amount, bill.amountFen);
    EXPECT_GT(bill.amountFen, 0);
}

INSTANTIATE_TEST_SUITE_P(Bills, BillRecordTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace lanqi
