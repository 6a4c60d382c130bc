// The results the engine stores for formulas over written cells, against
// LibreOffice computing the same file: every cell shows the same value in
// xlrd (the stored results), POI and LibreOffice.
#include "tests/xls/peer_tools.h"
#include "tests/xls/peer_workbook.h"
#include "workbook/cell_map.h"
#include "workbook/xls_spreadsheet.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

struct Write {
    int row, column;
    std::string text;
};

// Writes each list of cells into its own copy of `source` on the bill
// sheet; returns the copies.
std::vector<fs::path> writeCopies(const fs::path& source, const fs::path& dir,
                                  const std::vector<std::vector<Write>>& writes) {
    std::vector<fs::path> files;
    XlsApplication app([](const fs::path&) {});
    for (std::size_t i = 0; i < writes.size(); ++i) {
        fs::path file = dir / ("bill" + std::to_string(i) + ".xls");
        fs::copy_file(source, file, fs::copy_options::overwrite_existing);
        auto book = app.open(file);
        for (const Write& w : writes[i])
            book->worksheet(test::kBillSheet).setCell(w.row, w.column, w.text);
        book->save();
        files.push_back(file);
    }
    return files;
}

// Every cell as xlrd reads each file and as LibreOffice computes it; the
// values of each file, as xlrd read them.
std::vector<std::map<std::string, std::string>> expectSameAsLibreOffice(
    const std::vector<fs::path>& files, const fs::path& dir) {
    fs::path out = dir / "computed";
    fs::create_directories(out);
    test::convertWithLibreOffice(files, "xlsx", out);
    std::vector<fs::path> all = files;
    for (const fs::path& f : files) all.push_back(out / f.filename().replace_extension(".xlsx"));
    auto values = test::shownValues(all);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& stored = values[i];
        const auto& computed = values[files.size() + i];
        EXPECT_FALSE(computed.empty()) << files[i];
        for (const auto& [key, v] : computed) {
            auto s = stored.find(key);
            std::string shown = s == stored.end() ? "(none)" : s->second;
            // LibreOffice writes a comparison's TRUE and FALSE as 1 and 0 shown as logicals.
            if (shown.starts_with("b|") && v.starts_with("n|")) shown.replace(0, 1, "n");
            EXPECT_EQ(shown, v) << files[i].filename() << " " << key;
        }
        for (const auto& [key, v] : stored)
            EXPECT_TRUE(computed.count(key)) << files[i].filename() << " " << key << " " << v;
    }
    values.resize(files.size());
    return values;
}

// POI reads the stored results as xlrd does.
void expectPoiSees(const fs::path& file, const std::map<std::string, std::string>& xlrd) {
    if (!test::havePoi()) LANQI_PEER_MISSING("POI (libapache-poi-java) or a JDK");
    std::size_t formulas = 0;
    for (const auto& [key, line] : test::poiCells(file)) {
        if (!line.starts_with("formula:")) continue;
        ++formulas;
        std::string shown = test::poiShown(line);
        if (shown == "s|") continue; // an empty text: no value for xlrd either
        auto x = xlrd.find(key);
        EXPECT_EQ(x == xlrd.end() ? "(none)" : x->second, shown) << file.filename() << " " << key;
    }
    EXPECT_GT(formulas, 0u);
}

class FormulaResultsPeer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::haveLibreOffice()) LANQI_PEER_MISSING("LibreOffice (soffice)");
        if (!test::haveXlrd()) LANQI_PEER_MISSING("python3-xlrd");
        dir_ = test::freshDirectory("lanqi-formula-results");
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    fs::path dir_;
};

// The total amount G34 and its amount in words J34 on the shipped bill.
TEST_F(FormulaResultsPeer, ShippedBillSpellsEveryAmountAsLibreOfficeDoes) {
    const std::vector<std::string> amounts = {
        "0",      "0.01",     "0.1",        "10",        "10.05",      "100.5",
        "1000",   "10005",    "21979.30",   "100000",    "1000000.01", "-0.01",
        "-100.5", "-21979.3", "101000.1",   "10000010",  "0.5",        "",
        "无"};
    std::vector<std::vector<Write>> writes;
    for (const std::string& a : amounts) writes.push_back({{34, 7, a}});
    // And a whole bill: every cell the export writes, the total last.
    std::vector<Write> bill;
    for (const cellmap::FieldRun& run : cellmap::kBillFields)
        for (int i = run.first; i <= run.last; ++i) {
            const cellmap::Cell c = run.cellOf(i);
            bill.push_back({c.row, c.column, i % 3 == 0 ? "" : std::to_string(20 + i) + ".5"});
        }
    bill.push_back({34, 7, "37731.05"});
    writes.push_back(bill);
    auto files = writeCopies(LANQI_SHIPPED_WORKBOOK, dir_, writes);
    auto stored = expectSameAsLibreOffice(files, dir_);
    EXPECT_EQ(stored[8]["原木一|34|10"], "s|大写：贰万壹仟玖佰柒拾玖元叁角整");
    EXPECT_EQ(stored[4]["原木一|34|10"], "s|大写：壹拾元零伍分");
    EXPECT_EQ(stored[17]["原木一|34|10"], "s|大写：");
    EXPECT_EQ(stored[19]["原木一|34|10"], "s|大写：叁万柒仟柒佰叁拾壹元零伍分");
    expectPoiSees(files[8], stored[8]);
}

// A workbook LibreOffice made, with the kinds of formulas users put beside
// a bill, after a bill is written into it.
TEST_F(FormulaResultsPeer, UsersFormulasOverTheBillAsLibreOfficeComputesThem) {
    test::writeFile(dir_ / "formulas.fods", test::billFormulasFods());
    test::convertWithLibreOffice(dir_ / "formulas.fods", "xls", dir_);
    std::vector<Write> bill = {{2, 3, "张三"}, {6, 4, "木"}, {28, 10, "备注：松木一车"},
                               {34, 7, "21979.30"}};
    for (int i = 0; i < 10; ++i) {
        bill.push_back({6 + i, 1, std::to_string(20 + 2 * i)});
        bill.push_back({6 + i, 2, std::to_string(3 + i)});
        bill.push_back({6 + i, 3, "0." + std::to_string(123 + 97 * i)});
        bill.push_back({6 + i, 5, std::to_string(i * 7)});
    }
    for (int r = 16; r <= 25; ++r) bill.push_back({r, 1, ""});
    // The same bill, and a shorter one over it.
    std::vector<Write> shorter = bill;
    for (int r = 12; r <= 15; ++r)
        for (int c : {1, 2, 3, 5}) shorter.push_back({r, c, ""});
    auto files = writeCopies(dir_ / "formulas.xls", dir_, {bill, shorter});
    auto stored = expectSameAsLibreOffice(files, dir_);
    EXPECT_EQ(stored[0]["原木一|21|21"], "s|共75件");
    EXPECT_EQ(stored[1]["原木一|21|21"], "s|共33件");
    expectPoiSees(files[0], stored[0]);
}

} // namespace
} // namespace lanqi
