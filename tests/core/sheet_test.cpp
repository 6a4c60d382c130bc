#include "tally/sheet.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace lanqi {
namespace {

TEST(TallySheet, MissingElementsAreProgrammingErrors) {
    TallySheet sheet;
    const FieldId missing[] = {{Arr::Text1, 20}, {Arr::Text27, 0}, {Arr::Text27, 5},
                               {Arr::Text30, 6}, {Arr::Text26, 6}, {Arr::Text13, 1},
                               {Arr::Text2, -1}, {Arr::Text25, 4}};
    for (FieldId f : missing) {
        EXPECT_FALSE(exists(f)) << fieldName(f);
        EXPECT_THROW(sheet.text(f), std::logic_error) << fieldName(f);
        EXPECT_THROW(sheet.setText(f, "1"), std::logic_error) << fieldName(f);
    }
    EXPECT_NO_THROW(sheet.setText(Arr::Text2, 20, "1"));
    EXPECT_THROW(sheet.setComboItem(Combo::Combo6, 1, "x"), std::logic_error);
    EXPECT_THROW(sheet.selectComboEntry(Combo::Combo6, 0), std::logic_error);
}

TEST(TallySheet, StartsWithTheWindowsInitialState) {
    TallySheet sheet;
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "");
    EXPECT_EQ(sheet.text(Arr::Text25, 3), "3");
    EXPECT_EQ(sheet.combo(Combo::Combo4).text, "购货商:");
    EXPECT_EQ(sheet.combo(Combo::Combo2).items.size(), 4u);
    EXPECT_EQ(sheet.combo(Combo::Combo12).text, ""); // no scaler until one is picked
    EXPECT_TRUE(sheet.combo(Combo::Combo6).visible);
    EXPECT_TRUE(sheet.combo(Combo::Combo13).visible);
    for (Combo c : {Combo::Combo5, Combo::Combo1, Combo::Combo7, Combo::Combo8, Combo::Combo9,
                    Combo::Combo10, Combo::Combo11})
        EXPECT_FALSE(sheet.combo(c).visible) << nameOf(c);
    EXPECT_EQ(sheet.caption(Label::Label22), "Label22");
}

TEST(TallySheet, NotifiesOnlyRealChangesWithTheIndex) {
    TallySheet sheet;
    std::vector<int> seen;
    const Subscription watch = sheet.onChange(Arr::Text3, [&](int i) { seen.push_back(i); });
    sheet.setText(Arr::Text3, 7, "0.5");
    sheet.setText(Arr::Text3, 7, "0.5");
    sheet.setText(Arr::Text3, 20, "");
    sheet.setText(Arr::Text6, 7, "1");
    EXPECT_EQ(seen, std::vector<int>{7});
}

TEST(TallySheet, HandlersMayWriteTheirOwnArrayDuringANotification) {
    TallySheet sheet;
    int calls = 0;
    // Empties every element ending in 0; nested passes stop once all are empty.
    sheet.addRule(Arr::Text28, [&](int) {
        ++calls;
        for (int k = 0; k <= 6; ++k)
            if (sheet.text(Arr::Text28, k) == "0") sheet.setText(Arr::Text28, k, "");
    });
    sheet.setText(Arr::Text28, 3, "0");
    EXPECT_EQ(sheet.text(Arr::Text28, 3), "");
    EXPECT_EQ(calls, 2);
}

// A window that closes lets its watches go, also from inside a notification,
// and a watch that outlives its sheet ends harmlessly.
TEST(TallySheet, WatchesEndWithTheirHandles) {
    auto sheet = std::make_unique<TallySheet>();
    std::vector<std::string> seen;
    Subscription first, second;
    first = sheet->onChange(Arr::Text2, [&](int) {
        seen.push_back("first");
        first.reset(); // ends itself while it is being called
    });
    second = sheet->onChange(Arr::Text2, [&](int) { seen.push_back("second"); });
    Subscription combo = sheet->onComboChange([&](Combo) { seen.push_back("combo"); });
    sheet->setText(Arr::Text2, 0, "5");
    sheet->setText(Arr::Text2, 0, "6");
    second.reset();
    sheet->setText(Arr::Text2, 0, "7");
    combo = {};
    sheet->setComboText(Combo::Combo13, "闽A");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second", "second"}));
    Subscription caption = sheet->onCaptionChange([](Label) {});
    sheet.reset();
    caption.reset();
}

// Rules run before watchers whatever the order they came in: a watcher sees
// the text the rules left.
TEST(TallySheet, WatchersSeeTheTextTheRulesLeft) {
    TallySheet sheet;
    std::vector<std::string> seen;
    const Subscription watch =
        sheet.onChange(Arr::Text28, [&](int k) { seen.push_back(sheet.text(Arr::Text28, k)); });
    sheet.addRule(Arr::Text28, [&](int k) {
        if (sheet.text(Arr::Text28, k) == "0") sheet.setText(Arr::Text28, k, "");
    });
    sheet.setText(Arr::Text28, 2, "0");
    EXPECT_EQ(seen, (std::vector<std::string>{"", ""}));
}

TEST(FieldNames, RoundTrip) {
    for (int a = 0; a < kArrCount; ++a) {
        const ArrayShape& s = shapeOf(static_cast<Arr>(a));
        for (int i = s.first; i <= s.last; ++i) {
            FieldId f{s.arr, i};
            EXPECT_EQ(parseFieldName(fieldName(f)), f) << fieldName(f);
        }
    }
    EXPECT_EQ(fieldName({Arr::Text13, 0}), "Text13");
    EXPECT_FALSE(parseFieldName("Text1(20)"));
    EXPECT_FALSE(parseFieldName("Text14(0)"));
    EXPECT_FALSE(parseFieldName("Text1(x)"));
    EXPECT_EQ(parseComboName("Combo14"), Combo::Combo14);
    EXPECT_FALSE(parseComboName("Combo3"));
}

} // namespace
} // namespace lanqi
