// The program's workbook commands on the window, over an in-memory
// spreadsheet, under Qt's offscreen platform.
#include "app/program.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "workbook/cell_map.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace lanqi {
namespace {

using namespace cellmap;

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        app.file[std::string(kBillSheet)];
        app.cell(kStoreSheet, 4, A) = "林海木业";
        app.cell(kStoreSheet, 4, B) = "王林";
        app.cell(kStoreSheet, 25, A) = "24";
        app.cell(kStoreSheet, 23, B) = "4";
    }
    Program& start() {
        program = std::make_unique<Program>(
            app, std::filesystem::temp_directory_path() / "lanqi-program-test" / "账单明细.xls",
            [this](std::string_view m) { messages.emplace_back(m); }, [this] { ++exits; });
        program->Form_Load();
        program->window().show();
        return *program;
    }
    QWidget* control(const char* name) { return program->window().control(name); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    testing::FakeSpreadsheet app;
    std::unique_ptr<Program> program;
    std::vector<std::string> messages;
    int exits = 0;
};

TEST_F(ProgramTest, TheLoadedWorkbookShowsOnTheWindow) {
    start();
    EXPECT_TRUE(messages.empty());
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
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("无法读取账单明细"), std::string::npos);
    EXPECT_EQ(qobject_cast<QComboBox*>(control("Combo6"))->count(), 0);
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text25(1)"))->text(), "3");
}

TEST_F(ProgramTest, SaveAndExitEndsOnlyOnceTheSettingsAreStored) {
    start();
    program->sheet().setText(Arr::Text1, 0, "26");
    app.failSave = true;
    click("Command6");
    EXPECT_EQ(exits, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("保存设置失败"), std::string::npos);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "24");
    EXPECT_EQ(qobject_cast<QLineEdit*>(control("Text1(0)"))->text(), "26");
    app.failSave = false;
    click("Command6");
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(app.cell(kStoreSheet, 25, A), "26");
    EXPECT_EQ(app.cell(kStoreSheet, 1, L), "26");
}

TEST_F(ProgramTest, TheBillButtonWarnsOnceWritesAndShows) {
    start();
    program->sheet().setText(Arr::Text2, 0, "5");
    click("Command3");
    click("Command3");
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kCloseBeforePrinting)});
    EXPECT_EQ(app.cell(kBillSheet, 6, B), "5");
    EXPECT_EQ(app.cell(kBillSheet, 2, C), "");
    EXPECT_EQ(app.shown.size(), 2u);
    EXPECT_EQ(exits, 0);
}

} // namespace
} // namespace lanqi

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
