// The program's load, bill and save on the shipped workbook through the real
// engine, and the bill as LibreOffice reads it.
#include "calc/numeric_text.h"
#include "editing/blanking.h"
#include "editing/selectors.h"
#include "tally/tally_file.h"
#include "tally/tick.h"
#include "tests/xls/peer_tools.h"
#include "workbook/bill_export.h"
#include "workbook/cell_map.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"
#include "workbook/xls_spreadsheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using namespace cellmap;

class ShippedWorkbook : public ::testing::Test {
  protected:
    ShippedWorkbook() {
        fs::copy_file(LANQI_SHIPPED_WORKBOOK, path);
        attachBlankingRules(sheet);
    }
    ~ShippedWorkbook() override { fs::remove_all(dir); }

    // A tally as the scaler would have it on the window after the start-up load.
    void keyInSampleTally() {
        loadFromWorkbook(sheet, app, path);
        std::ifstream in(LANQI_SAMPLE_TALLY);
        readTallyFile(in, sheet);
        sheet.selectComboEntry(Combo::Combo6, 2);
        Combo6_Click(sheet);
        sheet.selectComboEntry(Combo::Combo2, 2); // 联系电话:
        Combo2_Click(sheet);
        sheet.setCaption(Label::Label22, "2026年12月08日 ");
        recalculateUntilStable(sheet);
    }

    fs::path dir = test::freshDirectory("lanqi-shipped");
    fs::path path = dir / std::string(kWorkbookFile);
    XlsApplication app{[](const fs::path&) {}};
    TallySheet sheet;
};

TEST_F(ShippedWorkbook, StartsWithItsListsAndStoredSettings) {
    loadFromWorkbook(sheet, app, path);
    EXPECT_GE(sheet.combo(Combo::Combo6).items.size(), 5u);
    EXPECT_GE(sheet.combo(Combo::Combo5).items.size(), 5u);
    EXPECT_EQ(sheet.combo(Combo::Combo1).items.size(), 201u);
    EXPECT_EQ(sheet.combo(Combo::Combo12).items.size(), 3u);
    EXPECT_GE(sheet.combo(Combo::Combo14).items.size(), 10u);
    EXPECT_FALSE(sheet.caption(Label::Label23).empty());
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "4");
    EXPECT_EQ(sheet.text(Arr::Text26, 5), "38");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "6"); // numbers arrive as their plain text
    // Telephone numbers stored as text keep their leading zero.
    const auto& phones = sheet.combo(Combo::Combo7).items;
    EXPECT_EQ(phones[0].substr(0, 1), "0");
}

TEST_F(ShippedWorkbook, SaveThenStartAgainRestoresTheSettings) {
    loadFromWorkbook(sheet, app, path);
    sheet.setText(Arr::Text1, 0, "007");
    sheet.setText(Arr::Text4, 19, "");
    sheet.setText(Arr::Text26, 1, "15");
    sheet.setText(Arr::Text30, 5, "1,800元");
    sheet.setText(Arr::Text25, 0, "3.8");
    sheet.setText(Arr::Text2, 0, "9");
    storeSettings(sheet, app, path);

    TallySheet next;
    loadFromWorkbook(next, app, path);
    for (FieldId f : allFields()) {
        bool stored = f.arr == Arr::Text1 || f.arr == Arr::Text4 || f.arr == Arr::Text7 ||
                      f.arr == Arr::Text10 || f.arr == Arr::Text26 || f.arr == Arr::Text27 ||
                      f.arr == Arr::Text30 || (f.arr == Arr::Text25 && f.index == 0);
        if (stored) {
            EXPECT_EQ(next.text(f), sheet.text(f)) << fieldName(f);
        }
    }
    EXPECT_EQ(next.text(Arr::Text2, 0), "");
    EXPECT_EQ(next.combo(Combo::Combo6).items, sheet.combo(Combo::Combo6).items);
}

// The bill sheet as LibreOffice exports it (values, not their shown form).
std::map<std::pair<int, int>, std::string> billAsLibreOfficeReadsIt(const fs::path& workbook,
                                                                    const fs::path& out) {
    test::convertWithLibreOffice(
        workbook, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
        out);
    fs::path csv = out / (workbook.stem().string() + "-" + std::string(kBillSheet) + ".csv");
    std::string listing =
        test::runPython("import csv\n"
                        "with open(r'''" +
                        csv.string() +
                        "''', encoding='utf-8', newline='') as f:\n"
                        "    for r, row in enumerate(csv.reader(f), 1):\n"
                        "        for c, v in enumerate(row, 1):\n"
                        "            if v: print(r, c, v.replace('\\n', '\\\\n'))\n");
    std::map<std::pair<int, int>, std::string> cells;
    std::istringstream in(listing);
    int r, c;
    std::string value;
    while (in >> r >> c && std::getline(in >> std::ws, value)) cells[{r, c}] = value;
    return cells;
}

// A number keeps its value and loses only its trailing zeros in the export.
void expectSameValue(const std::string& shown, const std::string& exported,
                     const std::string& where) {
    double a = leadingNumber(shown);
    bool number = !shown.empty() && plainNumber(a) == plainNumber(leadingNumber(exported)) &&
                  shown.find_first_not_of("-0123456789.") == std::string::npos;
    if (number) return;
    EXPECT_EQ(exported, shown) << where;
}

TEST_F(ShippedWorkbook, LibreOfficeReadsTheBillCellByCell) {
    if (!test::haveLibreOffice()) LANQI_PEER_MISSING("LibreOffice (soffice)");
    keyInSampleTally();
    writeBill(sheet, app, path, OtherLock::Refuse, "20261208-007");
    auto cells = billAsLibreOfficeReadsIt(path, dir / "csv");
    auto at = [&](Cell c) {
        auto it = cells.find({c.row, c.column});
        return it == cells.end() ? std::string() : it->second;
    };
    int compared = 0;
    for (const FieldRun& run : kBillFields)
        for (int i = run.first; i <= run.last; ++i, ++compared)
            expectSameValue(sheet.text(run.arr, i), at(run.cellOf(i)), fieldName({run.arr, i}));
    for (const ListCell& l : kBillLists) EXPECT_EQ(at(l.cell), sheet.combo(l.combo).text);
    for (const CaptionCell& c : kBillCaptions) EXPECT_EQ(at(c.cell), sheet.caption(c.label));
    EXPECT_EQ(at(kBillNameSlot), sheet.combo(Combo::Combo6).text);
    EXPECT_EQ(at(kBillDetailSlot), sheet.combo(Combo::Combo7).text);
    EXPECT_EQ(compared, 290);
    EXPECT_EQ(at({34, G}), "21979.3");
    EXPECT_EQ(at({26, B}), "合计");         // captions the bill never writes stay
    EXPECT_EQ(at({35, K}), "20261208-007"); // the serial, where the workbook names 单号
}

} // namespace
} // namespace lanqi
