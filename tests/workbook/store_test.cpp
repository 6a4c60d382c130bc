#include "editing/blanking.h"
#include "editing/selectors.h"
#include "platform/utf8_path.h"
#include "tally/tick.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "workbook/bill_export.h"
#include "workbook/cell_map.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using namespace cellmap;

class Store : public ::testing::Test {
  protected:
    Store() {
        folder =
            fs::temp_directory_path() /
            ("lanqi-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        path = folder / platform::pathFromUtf8(kWorkbookFile);
        app.file[std::string(kStoreSheet)];
        app.file[std::string(kBillSheet)];
        attachBlankingRules(sheet);
        billCommand.emplace(app, path, [this](std::string_view m) { messages.emplace_back(m); });
    }
    ~Store() override { fs::remove_all(folder); }

    std::string& store(int row, int column) { return app.cell(kStoreSheet, row, column); }
    std::string bill(int row, int column) {
        auto& cells = app.file[std::string(kBillSheet)];
        auto it = cells.find({row, column});
        return it == cells.end() ? "<untouched>" : it->second;
    }
    void load() { loadFromWorkbook(sheet, app, path); }
    size_t items(Combo c) const { return sheet.combo(c).items.size(); }

    fs::path folder, path;
    testing::FakeSpreadsheet app;
    TallySheet sheet;
    std::vector<std::string> messages;
    std::optional<BillCommand> billCommand;
};

TEST_F(Store, ListsStopBeforeTheFirstEmptyCellOrReadAllRows) {
    for (int r = 4; r <= 10; ++r) store(r, A) = "买方" + std::to_string(r);
    for (int r = 4; r <= 10; ++r) store(r, B) = "联系人" + std::to_string(r);
    for (int r = 4; r <= 7; ++r) store(r, E) = "卖方";
    store(9, E) = "after the gap";
    for (int r = 3; r <= 19; ++r) store(r, K) = "树" + std::to_string(r);
    store(4, J) = "张";
    store(6, J) = "王";
    load();
    EXPECT_EQ(items(Combo::Combo6), 7u);
    EXPECT_EQ(items(Combo::Combo5), 4u);
    EXPECT_EQ(items(Combo::Combo14), 16u);
    EXPECT_EQ(sheet.combo(Combo::Combo14).items.back(), "树18");
    for (Combo c : kPartyDetails) EXPECT_EQ(items(c), 201u) << nameOf(c);
    const auto& contacts = sheet.combo(Combo::Combo1).items;
    EXPECT_EQ(std::count(contacts.begin(), contacts.end(), ""), 194);
    EXPECT_EQ(sheet.combo(Combo::Combo12).items, (std::vector<std::string>{"张", "", "王"}));
    // Loading sets items only: no list selects an entry or changes its text.
    EXPECT_EQ(sheet.combo(Combo::Combo6).selected, -1);
    EXPECT_EQ(sheet.combo(Combo::Combo12).text, ""); // no scaler until one is picked
}

TEST_F(Store, EmptyFirstCellsGiveEmptyLists) {
    store(5, A) = "不读";
    store(5, E) = "不读";
    load();
    EXPECT_EQ(items(Combo::Combo5), 0u);
    EXPECT_EQ(items(Combo::Combo6), 0u);
}

TEST_F(Store, SharedColumnsFeedTheStoredFieldsIntoTheLists) {
    store(23, B) = "4";
    for (int i = 0; i < 20; ++i) store(25 + i, D) = std::to_string(10 + i);
    load();
    EXPECT_EQ(sheet.combo(Combo::Combo1).items[19], "4");
    EXPECT_EQ(sheet.combo(Combo::Combo9).items[21], "10");
    EXPECT_EQ(sheet.combo(Combo::Combo9).items[40], "29");
    EXPECT_EQ(sheet.text(Arr::Text4, 19), "29");
}

TEST_F(Store, StoredCellsSetTheirFieldsEmptyOnesIncluded) {
    sheet.setText(Arr::Text1, 0, "typed");
    sheet.setText(Arr::Text25, 1, "5");
    store(4, I) = "澜栖木业";
    store(25, A) = "24";
    store(25, M) = "14";
    store(30, R) = "1700";
    store(26, O) = "19";
    store(23, B) = "4";
    load();
    EXPECT_EQ(sheet.caption(Label::Label23), "澜栖木业");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "24");
    EXPECT_EQ(sheet.text(Arr::Text1, 1), "");
    EXPECT_EQ(sheet.text(Arr::Text26, 0), "14");
    EXPECT_EQ(sheet.text(Arr::Text30, 5), "1700");
    EXPECT_EQ(sheet.text(Arr::Text27, 1), "19");
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "4");
    EXPECT_EQ(sheet.text(Arr::Text25, 1), "5"); // only block 1's length is stored
    EXPECT_EQ(app.saves, 0);                    // the load only reads
}

TEST_F(Store, StoredFullWidthNumbersComeInAsAscii) {
    store(25, A) = "２４";
    store(30, R) = "１２００．５";
    store(23, B) = "４";
    load();
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "24");
    EXPECT_EQ(sheet.text(Arr::Text30, 5), "1200.5");
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "4");
}

TEST_F(Store, AFailedLoadLeavesTheWindowsInitialState) {
    store(4, A) = "买方";
    app.file.erase(std::string(kStoreSheet));
    EXPECT_THROW(load(), WorkbookError);
    app.failOpens = 1;
    EXPECT_THROW(load(), WorkbookError);
    EXPECT_EQ(items(Combo::Combo6), 0u);
    EXPECT_EQ(sheet.caption(Label::Label23), "Label23");
    EXPECT_EQ(sheet.text(Arr::Text25, 1), "3");
}

TEST_F(Store, SaveThenLoadRestoresExactlyTheStoredFields) {
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 20; ++i) {
            sheet.setText(kBlocks[b].diameter, i, std::to_string(b * 100 + i));
            sheet.setText(kBlocks[b].count, i, "2");
        }
    for (int k = 0; k < 6; ++k) {
        sheet.setText(Arr::Text26, k, std::to_string(14 + 6 * k));
        sheet.setText(Arr::Text30, k, k == 2 ? "" : "1,000元");
    }
    for (int k = 1; k <= 4; ++k) sheet.setText(Arr::Text27, k, std::to_string(19 + 6 * k));
    sheet.setText(Arr::Text25, 0, "4.5");
    sheet.setText(Arr::Text25, 2, "6");
    Timer1_Timer(sheet);
    storeSettings(sheet, app, path);
    EXPECT_EQ(app.saves, 1);
    EXPECT_EQ(store(1, L), "0");
    EXPECT_EQ(store(20, O), "319");
    EXPECT_EQ(store(22, W), "25");
    EXPECT_EQ(app.written.size(), 193u);
    EXPECT_TRUE(app.file[std::string(kBillSheet)].empty());

    TallySheet next;
    loadFromWorkbook(next, app, path);
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(next.text(kBlocks[b].diameter, i), sheet.text(kBlocks[b].diameter, i));
            EXPECT_EQ(next.text(kBlocks[b].count, i), "");
        }
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(next.text(Arr::Text26, k), sheet.text(Arr::Text26, k));
        EXPECT_EQ(next.text(Arr::Text30, k), sheet.text(Arr::Text30, k));
    }
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(next.text(Arr::Text27, k), sheet.text(Arr::Text27, k));
    EXPECT_EQ(next.text(Arr::Text25, 0), "4.5");
    EXPECT_EQ(next.text(Arr::Text25, 2), "3");
    EXPECT_EQ(next.text(Arr::Text31, 0), "");
}

TEST_F(Store, AFailedSaveLeavesTheFileAsItWas) {
    store(25, A) = "old";
    sheet.setText(Arr::Text1, 0, "new");
    app.failSave = true;
    EXPECT_THROW(storeSettings(sheet, app, path), WorkbookError);
    EXPECT_EQ(store(25, A), "old");
    app.failSave = false;
    std::ofstream(folder / u8".~lock.账单明细.xls#") << "someone,host";
    EXPECT_THROW(storeSettings(sheet, app, path), WorkbookError);
    EXPECT_EQ(app.opens, 1); // refused before opening
    EXPECT_EQ(store(25, A), "old");
}

class Bill : public Store {
  protected:
    void SetUp() override {
        sheet.setText(Arr::Text25, 0, "4");
        const char* bounds[] = {"14", "14", "20", "26", "32", "38"};
        for (int k = 0; k < 6; ++k) sheet.setText(Arr::Text26, k, bounds[k]);
        sheet.setText(Arr::Text30, 2, "1000");
        sheet.setText(Arr::Text30, 3, "1200");
        sheet.setText(Arr::Text1, 0, "20");
        sheet.setText(Arr::Text2, 0, "3");
        sheet.setText(Arr::Text1, 1, "30");
        sheet.setText(Arr::Text2, 1, "9");
        sheet.setText(Arr::Text13, 0, "第一车");
        sheet.setCaption(Label::Label23, "澜栖木业");
        for (Combo c : {Combo::Combo5, Combo::Combo6})
            sheet.setComboText(c, std::string(nameOf(c)));
        for (Combo c : kDetailSlot) sheet.setComboText(c, std::string(nameOf(c)));
        Timer1_Timer(sheet);
        Timer1_Timer(sheet);
    }
};

TEST_F(Bill, WritesTheTallyWhereTheBillExpectsIt) {
    const std::pair<int, int> neverWritten[] = {{26, B}, {26, E}, {26, H},
                                                {26, K}, {28, C}, {33, C}};
    for (auto [r, c] : neverWritten) app.cell(kBillSheet, r, c) = "caption";
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kCloseBeforePrinting)});
    EXPECT_EQ(app.shown, std::vector<fs::path>{path});
    EXPECT_EQ(bill(2, A), "购货商:");
    EXPECT_EQ(bill(2, C), "Combo6");
    EXPECT_EQ(bill(2, G), "运输车号:");
    EXPECT_EQ(bill(2, J), "Combo13");
    EXPECT_EQ(bill(3, J), ""); // no scaler picked
    EXPECT_EQ(bill(4, B), "4");
    EXPECT_EQ(bill(4, J), "3");
    EXPECT_EQ(bill(6, A), "20");
    EXPECT_EQ(bill(7, C), "3.096");
    EXPECT_EQ(bill(7, D), "");
    EXPECT_EQ(bill(26, A), "12");
    EXPECT_EQ(bill(26, C), "3.5760");
    EXPECT_EQ(bill(28, A), "14");
    EXPECT_EQ(bill(30, G), "1000");
    EXPECT_EQ(bill(31, I), "3715.20");
    EXPECT_EQ(bill(34, D), "12");
    EXPECT_EQ(bill(34, G), "4195.20");
    EXPECT_EQ(bill(28, J), "第一车");
    EXPECT_EQ(bill(35, C), "澜栖木业");
    for (auto [r, c] : neverWritten) EXPECT_EQ(bill(r, c), "caption") << r << "," << c;
    EXPECT_EQ(bill(34, I), "<untouched>");
    EXPECT_TRUE(app.file[std::string(kStoreSheet)].empty());
}

TEST_F(Bill, SlotsTakeTheShownListsAndOtherwiseKeepTheirCell) {
    sheet.setComboVisible(Combo::Combo5, true); // both shown: Combo5 stays
    sheet.setComboVisible(Combo::Combo13, false);
    sheet.setComboVisible(Combo::Combo8, true);
    sheet.setComboVisible(Combo::Combo10, true);
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(bill(2, C), "Combo5");
    EXPECT_EQ(bill(2, J), "Combo10");
    sheet.setComboVisible(Combo::Combo5, false);
    sheet.setComboVisible(Combo::Combo6, false);
    for (Combo c : kDetailSlot) sheet.setComboVisible(c, false);
    sheet.setComboText(Combo::Combo4, "供货商:");
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(bill(2, C), "Combo5");
    EXPECT_EQ(bill(2, J), "Combo10");
    EXPECT_EQ(bill(2, A), "供货商:");
    EXPECT_EQ(messages.size(), 1u); // the warning comes once a run
}

TEST_F(Bill, AShorterTallyClearsTheRowsOfALongerOne) {
    for (int i = 0; i < 20; ++i) sheet.setText(Arr::Text11, i, "1");
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(bill(25, K), "1");
    for (int i = 0; i < 20; ++i) sheet.setText(Arr::Text11, i, "");
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(bill(25, K), "");
    EXPECT_EQ(app.written.size(), 2u * (296 + 2));
}

TEST_F(Bill, AFailedAttemptIsTriedOnceMoreWithoutAWarning) {
    app.failOpens = 1;
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kCloseBeforePrinting)});
    EXPECT_EQ(app.saves, 1);
    EXPECT_EQ(app.shown.size(), 1u);
}

TEST_F(Bill, ASecondFailureIsReportedAndTheFileKept) {
    app.cell(kBillSheet, 6, A) = "old bill";
    app.failSave = true;
    billCommand->Command3_Click(sheet);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("导出账单失败"), std::string::npos);
    EXPECT_EQ(bill(6, A), "old bill");
    EXPECT_TRUE(app.shown.empty());
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "20");
}

TEST_F(Bill, AWorkbookOpenElsewhereIsNotWritten) {
    std::ofstream(folder / u8"~$账单明细.xls") << "";
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(app.opens, 0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("关闭"), std::string::npos);
}

TEST_F(Bill, AWorkbookHeldElsewhereIsWrittenOnceTheUserHasClosedIt) {
    std::vector<std::string> asked;
    std::vector<bool> answers{true, false};
    BillCommand command(
        app, path, [this](std::string_view m) { messages.emplace_back(m); },
        [&](std::string_view m) {
            asked.emplace_back(m);
            bool a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    auto lock = [&] {
        std::ofstream(folder / u8".~lock.账单明细.xls#") << ",zhang,office-pc,08.12.2026 05:10,x;";
    };
    lock();
    command.Command3_Click(sheet); // asked, closed, written
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("zhang（电脑 office-pc）自 08.12.2026 05:10 起"), std::string::npos);
    EXPECT_EQ(app.saves, 1);
    EXPECT_EQ(bill(6, A), "20");
    lock();
    sheet.setText(Arr::Text1, 0, "22");
    command.Command3_Click(sheet); // asked, left as it is: nothing written, no error
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(app.saves, 1);
    EXPECT_EQ(bill(6, A), "20");
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kCloseBeforePrinting)});
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "22");
}

TEST_F(Bill, AProgramThatFailsToShowTheBillIsReportedWithThePath) {
    app.showFailsAfter = 2;
    billCommand->Command3_Click(sheet);
    EXPECT_TRUE(billCommand->watchingShow());
    billCommand->checkShow();
    EXPECT_EQ(messages.size(), 1u); // still starting
    billCommand->checkShow();
    EXPECT_FALSE(billCommand->watchingShow());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("账单已保存在 " + path.string()), std::string::npos);
    EXPECT_NE(messages[1].find("没能打开"), std::string::npos);
    app.showFailsAfter = -1;
    billCommand->Command3_Click(sheet);
    EXPECT_FALSE(billCommand->watchingShow());
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(Bill, NoSpreadsheetProgramStillSavesAndSaysWhere) {
    app.failShow = true;
    billCommand->Command3_Click(sheet);
    EXPECT_EQ(app.saves, 1);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find(platform::utf8Text(path)), std::string::npos);
}

} // namespace
} // namespace lanqi
