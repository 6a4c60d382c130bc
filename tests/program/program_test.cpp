// The running program without a window: a port that records what the
// program asks of the window, over an in-memory workbook.
#include "ledger/ledger.h"
#include "program/program.h"
#include "tally/tick.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "workbook/bill_export.h"
#include "workbook/cell_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace lanqi {
namespace {

using namespace cellmap;
using ui::ControlId;
using ui::controlName;
using ui::controlNamed;

class RecordingPort : public WindowPort {
  public:
    std::vector<std::string> told;
    std::vector<std::vector<Choice>> asked;
    std::vector<Choice> answers; // in turn; none left: the last choice
    std::vector<std::function<void()>> pending;
    std::vector<std::string> focused, selected, opened;
    std::optional<ControlId> current; // the control with the focus
    int ends = 0, beeps = 0, minimised = 0, moves = 0;

    void inform(std::string_view m) override { told.emplace_back(m); }
    Choice ask(std::string_view m, std::span<const Choice> choices) override {
        told.emplace_back(m);
        asked.emplace_back(choices.begin(), choices.end());
        if (answers.empty()) return choices.back();
        const Choice a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void endProgram() override { ++ends; }
    void later(std::function<void()> task) override { pending.push_back(std::move(task)); }
    void focus(ControlId c) override {
        focused.push_back(controlName(c));
        current = c;
    }
    std::optional<ControlId> focusedControl() const override { return current; }
    void selectText(ControlId c, ui::Entry entry) override {
        const char* what[] = {" whole", " end", " nothing"};
        selected.push_back(controlName(c) + what[static_cast<int>(entry)]);
    }
    void beep() override { ++beeps; }
    void minimise() override { ++minimised; }
    void startWindowMove() override { ++moves; }
    void openLink(std::string_view address) override { opened.emplace_back(address); }
    void showRecords(RecordsList& list) override { records = &list; }
    RecordsList* records = nullptr;
    void runLater() {
        for (auto& task : std::exchange(pending, {})) task();
    }
};

// A folder of each test's own (CTest runs the tests side by side), removed
// once the program that holds its lock file has ended.
struct TestFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("lanqi-layer-test-" + std::to_string(std::random_device{}()));
    TestFolder() { std::filesystem::create_directories(path); }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

class ProgramLayer : public ::testing::Test {
  protected:
    ProgramLayer() {
        app.file[std::string(kBillSheet)];
        app.cell(kStoreSheet, 4, A) = "林海木业";
        attached = program.attach(port);
    }
    ~ProgramLayer() override { attached.reset(); }
    ControlId id(const char* name) { return *controlNamed(name); }
    void click(const char* name) { program.clicked(id(name)); }
    // Enter pressed in `from`: where the focus goes.
    std::string enterFrom(const char* from) {
        EXPECT_TRUE(program.keyPressed(id(from), Key::Enter)) << from;
        return port.focused.empty() ? "" : port.focused.back();
    }
    std::string bill(int row, int column) { return app.cell(kBillSheet, row, column); }

    testing::FakeSpreadsheet app;
    TestFolder testFolder;
    const std::filesystem::path& folder = testFolder.path;
    Program program{app, folder / "账单明细.xls", folder / "lanqi.lock"};
    TallySheet& sheet = program.sheet();
    RecordingPort port;
    Subscription attached;
};

// Enter walks the tab stops that are shown, wrapping; Text11(19) is not a
// tab stop and the hidden lists of a stack are passed over.
TEST_F(ProgramLayer, EnterMovesToTheNextShownTabStop) {
    struct Case {
        const char* from;
        const char* to;
    } cases[] = {
        {"Text25(0)", "Text2(0)"},   {"Text2(19)", "Text5(0)"},  {"Text11(18)", "Text1(0)"},
        {"Text10(19)", "Text26(0)"}, {"Text26(0)", "Text26(1)"}, {"Text26(1)", "Text27(1)"},
        {"Text26(5)", "Text30(0)"},  {"Text30(5)", "Combo14"},   {"Combo12", "Combo6"},
        {"Combo6", "Command2"},      {"Combo2", "Command6"},     {"Command3", "Text28(6)"},
        {"Command1", "Text13"},      {"Text13", "Text2(0)"},     {"Text3(4)", "Text28(6)"},
    };
    for (const Case& c : cases) EXPECT_EQ(enterFrom(c.from), c.to) << c.from;

    program.listPicked(Combo::Combo4, 1); // 供货商: the supplier names show
    EXPECT_EQ(enterFrom("Combo12"), "Command2");
    EXPECT_EQ(enterFrom("Command2"), "Combo5");
    program.listPicked(Combo::Combo2, 1); // 联系人: Combo10 in place of Combo13
    EXPECT_EQ(enterFrom("Combo14"), "Combo12");
    EXPECT_EQ(enterFrom("Combo12"), "Combo10");
}

// Every key that moves the focus enters the control the same way: a field or
// list has its text selected, the remarks the caret at the end.
TEST_F(ProgramLayer, AKeyMovesTheFocusAndSaysWhatTheEnteredControlSelects) {
    struct Case {
        const char* from;
        Key key;
        const char* to;
        const char* selected;
    } cases[] = {
        {"Text30(1)", Key::Enter, "Text30(2)", "Text30(2) whole"},
        {"Text30(1)", Key::Tab, "Text30(2)", "Text30(2) whole"},
        {"Text30(2)", Key::BackTab, "Text30(1)", "Text30(1) whole"},
        {"Text1(0)", Key::BackTab, "Text11(18)", "Text11(18) whole"},
        {"Text2(0)", Key::BackTab, "Text13", "Text13 end"},
        {"Command1", Key::Tab, "Text13", "Text13 end"},
        {"Text26(5)", Key::Enter, "Text30(0)", "Text30(0) whole"},
        {"Text30(5)", Key::Enter, "Combo14", "Combo14 whole"},
        {"Combo2", Key::Enter, "Command6", "Command6 nothing"},
        {"Text2(19)", Key::Down, "Text2(20)", "Text2(20) whole"},
        {"Text2(0)", Key::Up, "Text2(20)", "Text2(20) whole"},
        {"Text4(19)", Key::Down, "Text4(0)", "Text4(0) whole"},
    };
    for (const Case& c : cases) {
        port.focused.clear();
        port.selected.clear();
        EXPECT_TRUE(program.keyPressed(id(c.from), c.key)) << c.from;
        EXPECT_EQ(port.focused, std::vector<std::string>{c.to}) << c.from;
        EXPECT_EQ(port.selected, std::vector<std::string>{c.selected}) << c.from;
    }
    program.focusFirst();
    EXPECT_EQ(port.focused.back(), "Text2(0)");
    EXPECT_EQ(port.selected.back(), "Text2(0) whole");
}

// Away from the tally columns Up and Down move no focus: a list steps through
// its entries, the remarks' caret goes between lines, anything else ignores
// them. A button takes no arrow at all.
TEST_F(ProgramLayer, ArrowsAwayFromTheTallyColumns) {
    struct Case {
        const char* on;
        Key key;
        bool taken;
    } cases[] = {
        {"Text26(1)", Key::Down, true},  {"Text28(6)", Key::Up, true},
        {"Text30(0)", Key::Up, true},    {"Text3(4)", Key::Down, true},
        {"Command3", Key::Down, true},   {"Command3", Key::Left, true},
        {"Text13", Key::Down, false},    {"Text30(0)", Key::Left, false},
        {"Text2(3)", Key::Other, false}, {"Text2(3)", Key::Right, false},
    };
    for (const Case& c : cases) EXPECT_EQ(program.keyPressed(id(c.on), c.key), c.taken) << c.on;
    EXPECT_TRUE(port.focused.empty());

    // Combo4 shows 购货商: with no entry picked: Down picks the first entry,
    // then 供货商:, which shows the suppliers' names; Down at the last entry
    // and Up before the first leave the list as it is.
    EXPECT_TRUE(program.keyPressed(id("Combo4"), Key::Up));
    EXPECT_EQ(sheet.combo(Combo::Combo4).selected, -1);
    EXPECT_TRUE(program.keyPressed(id("Combo4"), Key::Down));
    EXPECT_EQ(sheet.combo(Combo::Combo4).selected, 0);
    EXPECT_TRUE(program.keyPressed(id("Combo4"), Key::Down));
    EXPECT_EQ(sheet.combo(Combo::Combo4).text, "供货商:");
    EXPECT_TRUE(sheet.combo(Combo::Combo5).visible);
    EXPECT_TRUE(program.keyPressed(id("Combo4"), Key::Down));
    EXPECT_EQ(sheet.combo(Combo::Combo4).selected, 1);
    EXPECT_EQ(port.selected, (std::vector<std::string>{"Combo4 whole", "Combo4 whole"}));
    EXPECT_TRUE(program.keyPressed(id("Combo4"), Key::Up));
    EXPECT_EQ(sheet.combo(Combo::Combo4).text, "购货商:");
    EXPECT_TRUE(sheet.combo(Combo::Combo6).visible);
}

// A box takes the focus; the control that had it has it again after the box.
TEST_F(ProgramLayer, TheFocusComesBackAfterABox) {
    port.current = id("Text13");
    sheet.setText(Arr::Text13, 0, std::string(kLongestRemarks - 1, 'a'));
    program.fitIntoRemarks("木木", 0, Input::Pasted);
    port.runLater();
    ASSERT_EQ(port.told.size(), 1u);
    EXPECT_EQ(port.focused, std::vector<std::string>{"Text13"});

    port.current = id("Command3");
    click("Command3"); // the first bill's warning
    ASSERT_EQ(port.told.size(), 2u);
    EXPECT_EQ(port.focused.back(), "Command3");
}

TEST_F(ProgramLayer, FullWidthFiguresBecomeAsciiOnlyInNumberFields) {
    program.textTyped({Arr::Text1, 0}, "２０．５");
    program.textTyped({Arr::Text30, 2}, "１２００");
    program.textTyped({Arr::Text13, 0}, "２车");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "20.5");
    EXPECT_EQ(sheet.text(Arr::Text30, 2), "1200");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "２车");
}

TEST_F(ProgramLayer, PicksRunTheirListsRulesAndTypingRunsNone) {
    for (int k = 0; k < 3; ++k) {
        sheet.setComboItem(Combo::Combo6, k, "买" + std::to_string(k));
        for (Combo c : kPartyDetails) sheet.setComboItem(c, k, "细" + std::to_string(k));
    }
    program.listTextTyped(Combo::Combo4, "供货商:");
    EXPECT_TRUE(sheet.combo(Combo::Combo6).visible);
    program.listPicked(Combo::Combo6, 2);
    EXPECT_EQ(sheet.combo(Combo::Combo11).selected, 2);
    program.listPicked(Combo::Combo2, 2); // 联系电话: under 供货商:
    EXPECT_TRUE(sheet.combo(Combo::Combo8).visible);
    EXPECT_FALSE(sheet.combo(Combo::Combo13).visible);
}

TEST_F(ProgramLayer, ButtonsAndLinksDoTheirWork) {
    sheet.setText(Arr::Text2, 0, "5");
    sheet.setText(Arr::Text1, 0, "20");
    click("Command1");
    EXPECT_EQ(sheet.text(Arr::Text2, 0), "");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "20");
    click("Command4");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "");
    click("Command2");
    click("Label8");
    click("Label5");
    click("Label2(0)"); // a caption does nothing
    program.barePressed();
    EXPECT_EQ(port.minimised, 1);
    EXPECT_EQ(port.moves, 1);
    ASSERT_EQ(port.opened.size(), 2u);
    EXPECT_NE(port.opened[0], port.opened[1]);
    EXPECT_TRUE(port.told.empty());
}

TEST_F(ProgramLayer, TimersRecalculateAndDate) {
    sheet.setText(Arr::Text25, 0, "4");
    sheet.setText(Arr::Text1, 0, "20");
    sheet.setText(Arr::Text2, 0, "3");
    program.timerFired(ui::Timer::Timer1);
    EXPECT_EQ(sheet.text(Arr::Text3, 0), "0.480");
    program.timerFired(ui::Timer::Timer2);
    EXPECT_NE(sheet.caption(Label::Label22).find("日 "), std::string::npos);
}

// The amount total follows a price one tick behind the amounts: a bill
// exported straight after a price change still adds up, and the window shows
// what the bill holds.
TEST_F(ProgramLayer, ABillExportedStraightAfterAnEditAddsUp) {
    sheet.setText(Arr::Text25, 0, "4");
    const char* bounds[] = {"", "14", "20", "26", "32", "38"};
    for (int k = 0; k < 6; ++k) sheet.setText(Arr::Text26, k, bounds[k]);
    sheet.setText(Arr::Text1, 0, "20");
    sheet.setText(Arr::Text2, 0, "3");
    sheet.setText(Arr::Text1, 1, "30");
    sheet.setText(Arr::Text2, 1, "9");
    sheet.setText(Arr::Text30, 2, "1000");
    sheet.setText(Arr::Text30, 3, "1200");
    recalculateUntilStable(sheet);
    sheet.setText(Arr::Text30, 3, "1500");
    program.timerFired(ui::Timer::Timer1); // the amounts follow, their total not yet
    click("Command3");
    EXPECT_EQ(bill(30, I), "480.00");
    EXPECT_EQ(bill(31, I), "4644.00");
    EXPECT_EQ(bill(34, G), "5124.00");
    EXPECT_EQ(sheet.text(Arr::Text31, 6), "5124.00");
}

TEST_F(ProgramLayer, ABillWithoutAScalerLeavesTheScalerCellEmpty) {
    app.cell(kBillSheet, 3, J) = "旧检尺员";
    click("Command3");
    EXPECT_EQ(bill(3, J), "");
    sheet.setComboItem(Combo::Combo12, 0, "王检尺");
    program.listPicked(Combo::Combo12, 0);
    click("Command3");
    EXPECT_EQ(bill(3, J), "王检尺");
    EXPECT_EQ(port.told, std::vector<std::string>{std::string(kCloseBeforePrinting)});
}

TEST_F(ProgramLayer, StartUpRefusesASecondCopyAndToldAFailedLoad) {
    app.failOpens = 1;
    EXPECT_TRUE(program.start());
    ASSERT_EQ(port.told.size(), 1u);
    EXPECT_NE(port.told[0].find("无法读取账单明细"), std::string::npos);

    testing::FakeSpreadsheet other;
    Program second(other, folder / "账单明细.xls", folder / "lanqi.lock");
    RecordingPort secondPort;
    const Subscription attachedSecond = second.attach(secondPort);
    EXPECT_FALSE(second.start());
    EXPECT_EQ(secondPort.told, std::vector<std::string>{"程序正在运行......"});
    EXPECT_EQ(other.opens, 0);
}

// Retry, end without storing, stay: the exit's choices as the user makes them.
TEST_F(ProgramLayer, ExitEndsOnlyWhenStoredOrChosen) {
    app.file[std::string(kStoreSheet)];
    app.failSave = true;
    port.answers = {Choice::Retry, Choice::Cancel};
    click("Command6");
    EXPECT_EQ(port.ends, 0);
    ASSERT_EQ(port.asked.size(), 2u);
    EXPECT_EQ(port.asked[0],
              (std::vector{Choice::Retry, Choice::EndWithoutStoring, Choice::Cancel}));
    EXPECT_NE(port.told[0].find("点“重试”再保存一次"), std::string::npos);
    port.answers = {Choice::EndWithoutStoring};
    click("Command6");
    EXPECT_EQ(port.ends, 1);
    app.failSave = false;
    sheet.setText(Arr::Text1, 0, "26");
    click("Command6");
    EXPECT_EQ(port.ends, 2);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "26");
}

// The remarks take what one cell holds; a pair of UTF-16 units is never
// split; a cut paste is told after the paste, cut typing beeps.
TEST_F(ProgramLayer, TheRemarksHoldOneCell) {
    sheet.setText(Arr::Text13, 0, std::string(kLongestRemarks - 3, 'a'));
    EXPECT_EQ(program.fitIntoRemarks("木木", 0, Input::Typed), "木木");
    EXPECT_EQ(program.fitIntoRemarks("木木木木", 0, Input::Typed), "木木木");
    EXPECT_EQ(port.beeps, 1);
    EXPECT_EQ(program.fitIntoRemarks("木木😀", 0, Input::Pasted), "木木");
    EXPECT_EQ(program.fitIntoRemarks("木😀😀", 2, Input::Pasted), "木😀😀");
    EXPECT_TRUE(port.told.empty());
    port.runLater();
    ASSERT_EQ(port.told.size(), 1u);
    EXPECT_NE(port.told[0].find("32767"), std::string::npos);
    EXPECT_NE(port.told[0].find("粘贴的 4 个字符中只放进了前 2 个"), std::string::npos);
}

// Edits come in UTF-16 units: a character beyond the basic plane is two.
TEST_F(ProgramLayer, RemarkEditsLandWhereTheWindowMadeThem) {
    struct Edit {
        std::size_t position, removed;
        const char* inserted;
        const char* after;
    } edits[] = {
        {0, 0, "车😀号", "车😀号"}, {4, 0, "一", "车😀号一"}, {1, 2, "", "车号一"},
        {3, 0, "😀", "车号一😀"},   {0, 1, "货", "货号一😀"}, {3, 2, "", "货号一"},
    };
    for (const Edit& e : edits) {
        EXPECT_TRUE(program.remarksEdited(e.position, e.removed, e.inserted));
        EXPECT_EQ(sheet.text(Arr::Text13, 0), e.after);
    }
    sheet.setText(Arr::Text13, 0, "😀😀"); // set from elsewhere: counted afresh
    EXPECT_TRUE(program.remarksEdited(4, 0, "木"));
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "😀😀木");
    EXPECT_FALSE(program.remarksEdited(4, 3, ""));
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "😀😀木");
}

TEST_F(ProgramLayer, AWindowThatClosesIsAskedNothingMore) {
    attached.reset();
    click("Command2");
    program.keyPressed(id("Text2(0)"), Key::Enter);
    EXPECT_EQ(port.minimised, 0);
    EXPECT_TRUE(port.focused.empty());
}

// Reopening a bill over a tally that no bill holds asks first: stay, let the
// tally go, or export it and then reopen. A tally just reopened is not asked
// about.
TEST_F(ProgramLayer, ReopeningOverAnUnexportedTallyAsksFirst) {
    program.textTyped({Arr::Text2, 0}, "5");
    click("Command3");
    const std::string first = ledger::Ledger::openExisting(folder)->lines({}, 0, 1)[0].serial;
    struct Step {
        const char* typed; // into Text2(0) before F3 (the one bill selected), or nothing
        std::vector<Choice> answers;
        bool asked;
        const char* shown; // Text2(0) afterwards
        std::int64_t bills;
    } steps[] = {
        {"8", {Choice::Cancel}, true, "8", 1},
        {nullptr, {Choice::OpenWithoutExport}, true, "5", 1},
        {nullptr, {}, false, "5", 1},
        {"9", {Choice::ExportFirst}, true, "5", 2},
    };
    for (const Step& s : steps) {
        if (s.typed) program.textTyped({Arr::Text2, 0}, s.typed);
        EXPECT_TRUE(program.keyPressed(id("Text2(0)"), Key::F3));
        ASSERT_NE(port.records, nullptr);
        const size_t asked = port.asked.size();
        port.answers = s.answers;
        port.records->keyPressed(Key::Enter);
        EXPECT_EQ(port.asked.size(), asked + (s.asked ? 1 : 0)) << s.shown;
        if (s.asked) {
            EXPECT_EQ(port.asked.back(), (std::vector<Choice>{Choice::ExportFirst,
                                                             Choice::OpenWithoutExport,
                                                             Choice::Cancel}));
        }
        EXPECT_EQ(sheet.text(Arr::Text2, 0), s.shown);
        EXPECT_EQ(ledger::Ledger::openExisting(folder)->totals({}).lines, s.bills);
    }
    // The tally exported first replaced the bill reopened before it.
    EXPECT_EQ(ledger::Ledger::openExisting(folder)->lines({}, 0, 1)[0].replaces, first);
}

} // namespace
} // namespace lanqi
