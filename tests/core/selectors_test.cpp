#include "editing/navigation.h"
#include "editing/selectors.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

class Selectors : public ::testing::Test {
  protected:
    Selectors() {
        // Ten rows of parties, as a start-up load would fill them.
        for (int k = 0; k < 10; ++k) {
            std::string row = std::to_string(k);
            sheet.setComboItem(Combo::Combo6, k, "买方" + row);
            sheet.setComboItem(Combo::Combo5, k, "卖方" + row);
            for (Combo c : kPartyDetails)
                sheet.setComboItem(c, k, std::string(nameOf(c)) + "-" + row);
        }
    }
    void pick(Combo caption, std::string_view text) {
        const auto& items = sheet.combo(caption).items;
        int k = static_cast<int>(std::find(items.begin(), items.end(), text) - items.begin());
        sheet.selectComboEntry(caption, k);
        if (caption == Combo::Combo4) Combo4_Click(sheet);
        if (caption == Combo::Combo2) Combo2_Click(sheet);
    }
    std::vector<Combo> shown() const {
        std::vector<Combo> out;
        for (Combo c : kNameSlot)
            if (sheet.combo(c).visible) out.push_back(c);
        for (Combo c : kDetailSlot)
            if (sheet.combo(c).visible) out.push_back(c);
        return out;
    }
    TallySheet sheet;
};

TEST_F(Selectors, CaptionsChooseTheShownLists) {
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo6, Combo::Combo13}));
    pick(Combo::Combo4, "供货商:");
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo5, Combo::Combo13}));
    pick(Combo::Combo2, "联系人:");
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo5, Combo::Combo10}));
    pick(Combo::Combo2, "联系电话:");
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo5, Combo::Combo8}));
    pick(Combo::Combo4, "购货商:");
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo6, Combo::Combo7}));
    pick(Combo::Combo2, "银行账号:");
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo6, Combo::Combo9}));
}

TEST_F(Selectors, UnknownCaptionTextChangesNothing) {
    pick(Combo::Combo2, "联系人:");
    sheet.setComboText(Combo::Combo4, "其他");
    Combo4_Click(sheet);
    Combo2_Click(sheet);
    EXPECT_EQ(shown(), (std::vector<Combo>{Combo::Combo6, Combo::Combo1}));
}

TEST_F(Selectors, PickingANameMovesEveryDetailList) {
    sheet.selectComboEntry(Combo::Combo6, 3);
    Combo6_Click(sheet);
    sheet.selectComboEntry(Combo::Combo5, 5);
    Combo5_Click(sheet);
    for (Combo c : kPartyDetails) {
        EXPECT_EQ(sheet.combo(c).selected, 5) << nameOf(c);
        EXPECT_EQ(sheet.combo(c).text, std::string(nameOf(c)) + "-5");
    }
    EXPECT_EQ(sheet.combo(Combo::Combo6).text, "买方3");
    EXPECT_EQ(sheet.combo(Combo::Combo13).selected, -1);
    // Switching the detail caption keeps every selection.
    pick(Combo::Combo2, "联系人:");
    EXPECT_EQ(sheet.combo(Combo::Combo1).selected, 5);
}

TEST_F(Selectors, RowSyncWithShortDetailListsKeepsWhatExists) {
    TallySheet empty;
    empty.setComboItem(Combo::Combo6, 0, "买方");
    empty.selectComboEntry(Combo::Combo6, 0);
    Combo6_Click(empty); // no detail entries after a failed load: nothing to select
    EXPECT_EQ(empty.combo(Combo::Combo1).selected, -1);
}

TEST(ColumnWrap, UpAndDownWrapWithinTheColumn) {
    struct Case {
        FieldId from;
        Key key;
        FieldId to;
    } cases[] = {
        {{Arr::Text1, 19}, Key::Down, {Arr::Text1, 0}},
        {{Arr::Text1, 0}, Key::Up, {Arr::Text1, 19}},
        {{Arr::Text2, 19}, Key::Down, {Arr::Text2, 20}},
        {{Arr::Text2, 20}, Key::Down, {Arr::Text2, 0}},
        {{Arr::Text5, 0}, Key::Up, {Arr::Text5, 20}},
        {{Arr::Text11, 18}, Key::Down, {Arr::Text11, 19}},
        {{Arr::Text11, 20}, Key::Up, {Arr::Text11, 19}},
        {{Arr::Text10, 7}, Key::Up, {Arr::Text10, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(columnWrapTarget(c.from, c.key), c.to) << fieldName(c.from);
    EXPECT_FALSE(columnWrapTarget({Arr::Text3, 4}, Key::Down));
    EXPECT_FALSE(columnWrapTarget({Arr::Text2, 4}, Key::Other));
}

} // namespace
} // namespace lanqi
