// The program's workbook commands on the window, over an in-memory
// spreadsheet, under Qt's offscreen platform.
#include "ledger/ledger.h"
#include "program/program.h"
#include "tests/ui/window_fixture.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "workbook/bill_export.h"
#include "workbook/cell_map.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using namespace cellmap;

// Runs the event loop until `condition` holds, for at most two seconds.
bool eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 2000);
}

// Each test process its own folder: CTest runs the tests side by side, and
// one test's lock file must not reach another.
std::filesystem::path testFolder() {
    return std::filesystem::temp_directory_path() /
           ("lanqi-program-test-" + std::to_string(QCoreApplication::applicationPid()));
}

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        app.file[std::string(kBillSheet)];
        app.cell(kStoreSheet, 4, A) = "林海木业";
        app.cell(kStoreSheet, 4, B) = "王林";
        app.cell(kStoreSheet, 25, A) = "24";
        app.cell(kStoreSheet, 23, B) = "4";
    }
    ~ProgramTest() override {
        program.reset();
        std::filesystem::remove_all(testFolder());
    }
    Program& start() {
        std::filesystem::create_directories(testFolder());
        program = std::make_unique<Program>(app, testFolder() / "账单明细.xls",
                                            testFolder() / "lanqi.lock");
        window = std::make_unique<TestWindow>(*program);
        program->start();
        window->show();
        return *program;
    }
    QWidget* control(const char* name) { return window->control(name); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    const std::vector<std::string>& messages() const { return window->told; }

    testing::FakeSpreadsheet app;
    std::unique_ptr<Program> program;
    std::unique_ptr<TestWindow> window;
};

TEST_F(ProgramTest, TheLoadedWorkbookShowsOnTheWindow) {
    start();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text1(0)"))->text(), "24");
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text25(0)"))->text(), "4");
    QComboBox* buyers = qobject_cast<QComboBox*>(control("Combo6"));
    ASSERT_EQ(buyers->count(), 1);
    EXPECT_EQ(buyers->itemText(0), "林海木业");
    EXPECT_EQ(qobject_cast<QComboBox*>(control("Combo1"))->count(), 201);
}

TEST_F(ProgramTest, AnUnreadableWorkbookIsReportedAndTheWindowStartsEmpty) {
    app.failOpens = 1;
    start();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("无法读取账单明细"), std::string::npos);
    EXPECT_EQ(qobject_cast<QComboBox*>(control("Combo6"))->count(), 0);
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text25(1)"))->text(), "3");
}

TEST_F(ProgramTest, SaveAndExitEndsOnlyOnceTheSettingsAreStored) {
    start();
    program->sheet().setText(Arr::Text1, 0, "26");
    app.failSave = true;
    click("Command6");
    EXPECT_EQ(window->ends, 0);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("保存设置失败"), std::string::npos);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "24");
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text1(0)"))->text(), "26");
    app.failSave = false;
    click("Command6");
    EXPECT_EQ(window->ends, 1);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "26");
    EXPECT_EQ(app.cell(kStoreSheet, 1, L), "26");
}

// Each bill exported is recorded beside its workbook; one exported after a
// bill was reopened names the bill it replaces.
TEST_F(ProgramTest, EachBillIsRecordedBesideTheWorkbook) {
    start();
    program->sheet().setText(Arr::Text2, 0, "5");
    click("Command3");
    const auto first = ledger::Ledger::openExisting(testFolder())->lines({}, 0, 10);
    ASSERT_EQ(first.size(), 1u);
    program->reopened(first[0].serial);
    program->sheet().setText(Arr::Text2, 0, "6");
    click("Command3");
    click("Command3");
    const auto lines = ledger::Ledger::openExisting(testFolder())->lines({}, 0, 10);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].replaces, first[0].serial);
    EXPECT_EQ(lines[0].replaces, ""); // replaced once only
    EXPECT_TRUE(lines[2].replaced);
    EXPECT_EQ(lines[1].pieces, 6);
    EXPECT_EQ(messages().size(), 1u); // the warning before the first bill only
}

TEST_F(ProgramTest, TheBillButtonWarnsOnceWritesAndShows) {
    start();
    program->sheet().setText(Arr::Text2, 0, "5");
    click("Command3");
    click("Command3");
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(kCloseBeforePrinting)});
    EXPECT_EQ(app.cell(kBillSheet, 6, B), "5");
    EXPECT_EQ(app.cell(kBillSheet, 2, C), "");
    EXPECT_EQ(app.shown.size(), 2u);
    EXPECT_EQ(window->ends, 0);
}

TEST_F(ProgramTest, ExitGoesOnOnceAWorkbookHeldElsewhereIsClosed) {
    start();
    program->sheet().setText(Arr::Text1, 0, "28");
    const fs::path lock = testFolder() / ".~lock.账单明细.xls#";
    fs::create_directories(lock.parent_path());
    std::ofstream(lock) << ",zhang,office-pc,08.12.2026 05:10,x;";
    window->answers = {Choice::Cancel, Choice::Continue}; // first stays, then says it is closed
    click("Command6");
    EXPECT_EQ(window->ends, 0);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "24");
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0],
              (std::vector{Choice::Continue, Choice::EndWithoutStoring, Choice::Cancel}));
    EXPECT_NE(messages()[0].find("zhang（电脑 office-pc）"), std::string::npos);
    click("Command6");
    EXPECT_EQ(window->ends, 1);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "28");
    EXPECT_FALSE(fs::exists(lock));
}

TEST_F(ProgramTest, ExitCanAlwaysEndWithoutStoring) {
    start();
    program->sheet().setText(Arr::Text1, 0, "28");
    app.failSave = true;
    window->answers = {Choice::Retry, Choice::EndWithoutStoring}; // tries again, then ends
    click("Command6");
    EXPECT_EQ(window->asked.size(), 2u);
    EXPECT_EQ(window->asked[0],
              (std::vector{Choice::Retry, Choice::EndWithoutStoring, Choice::Cancel}));
    EXPECT_EQ(window->ends, 1);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "24");
}

TEST_F(ProgramTest, AFailedShowIsReportedWhileTheWindowGoesOn) {
    start();
    app.showFailsAfter = 3;
    click("Command3");
    EXPECT_EQ(messages().size(), 1u); // the warning; the show is still being watched
    EXPECT_TRUE(eventually([&] { return messages().size() == 2u; }));
    EXPECT_NE(messages()[1].find("没能打开"), std::string::npos);
    EXPECT_NE(messages()[1].find("账单明细.xls"), std::string::npos);
}

} // namespace
} // namespace lanqi

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
