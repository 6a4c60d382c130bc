// The engine against real peers: workbooks saved by LibreOffice are read
// correctly, and after the engine writes cells LibreOffice, xlrd and POI read
// the same values while everything not written stays as it was.
#include "tests/xls/biff_builder.h"
#include "tests/xls/peer_tools.h"
#include "tests/xls/peer_workbook.h"
#include "workbook/xls_spreadsheet.h"

#include "book/workbook_stream.h"
#include "cfb/reader.h"

#include "calc/numeric_text.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

class PeerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!test::haveLibreOffice()) return;
        dir_ = new fs::path(test::freshDirectory("lanqi-peer"));
        test::writeFile(*dir_ / "peer.fods", test::peerFods());
        test::convertWithLibreOffice(*dir_ / "peer.fods", "xls", *dir_);
    }
    static void TearDownTestSuite() {
        if (dir_) fs::remove_all(*dir_);
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        if (!dir_) LANQI_PEER_MISSING("LibreOffice (soffice)");
    }
    // A private copy of the LibreOffice workbook for one test.
    fs::path copy(const std::string& name) {
        fs::path p = *dir_ / name;
        fs::copy_file(*dir_ / "peer.xls", p, fs::copy_options::overwrite_existing);
        return p;
    }
    static fs::path* dir_;
    XlsApplication app_{[](const fs::path&) {}};
};
fs::path* PeerTest::dir_ = nullptr;

TEST_F(PeerTest, ReadsWhatLibreOfficeWrote) {
    auto book = app_.open(copy("read.xls"));
    Worksheet& list = book->worksheet(test::kListSheet);
    EXPECT_EQ(list.cell(1, 1), "名称");
    for (int i = 1; i <= test::kListRows; ++i) {
        int r = i + 1;
        ASSERT_EQ(list.cell(r, 1), test::listName(i)) << "row " << r;
        ASSERT_EQ(list.cell(r, 2), plainNumber(test::listPieces(i))) << "row " << r;
        ASSERT_EQ(list.cell(r, 3), plainNumber(test::listPrice(i))) << "row " << r;
        ASSERT_EQ(list.cell(r, 4), plainNumber(test::listVolume(i))) << "row " << r;
        ASSERT_EQ(list.cell(r, 5), plainNumber(2 * test::listPieces(i))) << "row " << r;
    }
    EXPECT_EQ(list.cell(602, 1), "");
    EXPECT_EQ(list.cell(603, 1), test::longText());
    EXPECT_EQ(list.cell(604, 1), test::kRichText);
    EXPECT_EQ(list.cell(1, 9), "");

    Worksheet& bill = book->worksheet(test::kBillSheet);
    EXPECT_EQ(bill.cell(1, 1), "木材账单");
    EXPECT_EQ(bill.cell(1, 2), "");
    EXPECT_EQ(bill.cell(2, 1), "10");
    EXPECT_EQ(bill.cell(2, 2), "30");
    EXPECT_EQ(bill.cell(2, 3), "11");
    EXPECT_EQ(bill.cell(3, 1), "007");
    EXPECT_EQ(bill.cell(4, 1), "TRUE");
    EXPECT_EQ(bill.cell(5, 1), "#DIV/0!");
    EXPECT_EQ(bill.cell(6, 1), "共10件");
    EXPECT_EQ(bill.cell(7, 1), "1.5");
    EXPECT_EQ(bill.cell(7, 2), "");
    EXPECT_EQ(bill.cell(8, 2), "合并区域");
    EXPECT_THROW(book->worksheet("Sheet9"), WorkbookError);
}

TEST_F(PeerTest, UnchangedWorkbookStreamIsWrittenBackByteForByte) {
    auto bytes = test::readFile(copy("same.xls"));
    auto cf = xls::readCompoundFile(
        xls::ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    const auto& stream = cf.entries[*cf.findInRoot(u"Workbook")].content;
    auto wb = xls::readWorkbookStream(stream);
    EXPECT_EQ(xls::writeWorkbookStream(wb), stream);
}

// Every cell, merged area, column width and row height as xlrd sees them,
// one line each, keyed so that two dumps compare line by line.
std::map<std::string, std::string> xlrdDump(const fs::path& file) {
    std::string out = test::runPython(R"PY(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1] if len(sys.argv) > 1 else ")PY" +
                                      file.string() + R"PY(",
                          formatting_info=True)
for s in book.sheets():
    n = s.name
    for r in range(s.nrows):
        for c in range(s.ncols):
            cell = s.cell(r, c)
            v = repr(cell.value) if cell.ctype in (2, 3) else str(cell.value)
            print("cell|%s|%d|%d\t%d|%s|%d" % (n, r + 1, c + 1, cell.ctype, v, cell.xf_index))
    for m in s.merged_cells:
        print("merged|%s|%r\t1" % (n, m))
    for c, info in sorted(s.colinfo_map.items()):
        print("column|%s|%d\t%d|%d" % (n, c, info.width, info.xf_index))
    for r, info in sorted(s.rowinfo_map.items()):
        print("row|%s|%d\t%d|%d" % (n, r, info.height, info.xf_index))
)PY");
    std::map<std::string, std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        auto tab = line.find('\t');
        if (tab != std::string::npos) lines[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return lines;
}

// The cells of a CSV file, by (row, column) from 1.
std::map<std::pair<int, int>, std::string> readCsv(const fs::path& file) {
    std::map<std::pair<int, int>, std::string> cells;
    std::string text = test::readFile(file);
    int row = 1, col = 1;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\n') {
            if (!field.empty()) cells[{row, col}] = field;
            field.clear();
            if (c == ',')
                ++col;
            else
                ++row, col = 1;
        } else if (c != '\r') {
            field += c;
        }
    }
    return cells;
}

struct Write {
    const char* sheet;
    int row, column;
    std::string text;
};

std::vector<Write> billWrites() {
    std::vector<Write> w = {
        {test::kBillSheet, 2, 1, "25"},
        {test::kBillSheet, 3, 1, "0451"},
        {test::kBillSheet, 7, 1, ""},
        {test::kBillSheet, 10, 6, "新的值"},
        {test::kBillSheet, 10, 7, "3.75"},
        {test::kBillSheet, 10, 8, "007"},
        {test::kBillSheet, 10, 9, "1234567890123456789"},
        {test::kBillSheet, 10, 10, "-0.5"},
        {test::kBillSheet, 40, 2, "远处"},
        {test::kListSheet, 3, 5, "替换"},
        {test::kListSheet, 2, 5, "首行"},
        {test::kListSheet, 5, 2, "99"},
    };
    for (int r = 2; r <= 301; ++r)
        w.push_back({test::kListSheet, r, 8, "新字符串" + std::to_string(r)});
    return w;
}

// The formulas that read written cells, with the results LibreOffice
// computes for them; every reader shows these after the save.
struct FreshResult {
    const char* sheet;
    int row, column;
    const char* shown;
};
constexpr FreshResult kFreshResults[] = {
    {test::kBillSheet, 2, 2, "75"},
    {test::kBillSheet, 2, 3, "26"},
    {test::kBillSheet, 6, 1, "共25件"},
    {test::kListSheet, 5, 5, "198"},
};

const FreshResult* freshResult(const std::string& sheet, int row, int column) {
    for (const FreshResult& f : kFreshResults)
        if (sheet == f.sheet && row == f.row && column == f.column) return &f;
    return nullptr;
}

// The fresh result of a dump's key "cell|sheet|row|column", if it has one.
const FreshResult* freshResultOf(const std::string& key) {
    std::vector<std::string> f = test::split(key, '|');
    return f.size() == 4 && f[0] == "cell" ? freshResult(f[1], std::stoi(f[2]), std::stoi(f[3]))
                                           : nullptr;
}

void writeAndSave(const fs::path& file) {
    XlsApplication app([](const fs::path&) {});
    auto book = app.open(file);
    for (const Write& w : billWrites()) book->worksheet(w.sheet).setCell(w.row, w.column, w.text);
    book->save();
}

TEST_F(PeerTest, WrittenCellsReadBackInTheEngine) {
    fs::path file = copy("engine.xls");
    writeAndSave(file);
    auto book = app_.open(file);
    for (const Write& w : billWrites())
        EXPECT_EQ(book->worksheet(w.sheet).cell(w.row, w.column), w.text)
            << w.row << "," << w.column;
    Worksheet& list = book->worksheet(test::kListSheet);
    EXPECT_EQ(list.cell(5, 3), plainNumber(test::listPrice(4))); // the rest of the split MULRK
    EXPECT_EQ(list.cell(603, 1), test::longText());
    EXPECT_EQ(list.cell(100, 1), test::listName(99));
}

TEST_F(PeerTest, LibreOfficeRecalculatesAndReadsTheWrittenValues) {
    fs::path file = copy("bill.xls");
    writeAndSave(file);
    fs::path out = *dir_ / "csv";
    fs::create_directories(out);
    test::convertWithLibreOffice(
        file, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1", out);
    auto bill = readCsv(out / ("bill-" + std::string(test::kBillSheet) + ".csv"));
    auto list = readCsv(out / ("bill-" + std::string(test::kListSheet) + ".csv"));
    for (const Write& w : billWrites()) {
        auto& cells = std::string(w.sheet) == test::kBillSheet ? bill : list;
        EXPECT_EQ((cells[{w.row, w.column}]), w.text) << w.sheet << " " << w.row << "," << w.column;
    }
    // Formulas that depend on written cells show fresh results.
    for (const FreshResult& f : kFreshResults) {
        auto& cells = std::string(f.sheet) == test::kBillSheet ? bill : list;
        EXPECT_EQ((cells[{f.row, f.column}]), f.shown) << f.sheet << " " << f.row << "," << f.column;
    }
    // The column's shared formula survives the write over its first cell.
    EXPECT_EQ((list[{4, 5}]), "6");
    EXPECT_EQ((list[{601, 5}]), "1200");
    // Cells not written are unchanged.
    EXPECT_EQ((bill[{1, 1}]), "木材账单");
    EXPECT_EQ((bill[{8, 2}]), "合并区域");
    EXPECT_EQ((list[{600, 1}]), test::listName(599));
}

TEST_F(PeerTest, XlrdSeesTheWritesAndNothingElseChanged) {
    if (!test::haveXlrd()) LANQI_PEER_MISSING("python3-xlrd");
    fs::path file = copy("xlrd.xls");
    auto before = xlrdDump(file);
    writeAndSave(file);
    auto after = xlrdDump(file);
    const std::vector<Write> writes = billWrites();
    std::map<std::string, const Write*> written;
    for (const Write& w : writes)
        written["cell|" + std::string(w.sheet) + "|" + std::to_string(w.row) + "|" +
                std::to_string(w.column)] = &w;
    auto book = app_.open(file);
    for (const auto& [key, value] : after) {
        if (key.starts_with("row|") && !before.count(key)) continue; // rows the writes created
        auto w = written.find(key);
        if (w == written.end()) {
            if (const FreshResult* f = freshResultOf(key)) {
                std::string shown = value.substr(value.find('|') + 1);
                shown = shown.substr(0, shown.rfind('|'));
                if (value.starts_with("2|")) shown = plainNumber(std::stod(shown));
                EXPECT_EQ(shown, f->shown) << key;
            } else if (before.count(key)) {
                EXPECT_EQ(value, before[key]) << key;
            } else {
                EXPECT_TRUE(value.starts_with("0|")) << key << " " << value; // padding of new range
            }
            continue;
        }
        // Written: the value as typed, the cell's own format kept.
        const Write& x = *w->second;
        std::string type = value.substr(0, value.find('|'));
        std::string shown = value.substr(value.find('|') + 1);
        shown = shown.substr(0, shown.rfind('|'));
        if (type == "2") shown = plainNumber(std::stod(shown));
        if (type == "0") shown = "";
        EXPECT_EQ(shown, x.text) << key;
        if (before.count(key)) {
            EXPECT_EQ(value.substr(value.rfind('|')), before[key].substr(before[key].rfind('|')))
                << "format of " << key;
        }
        EXPECT_EQ(book->worksheet(x.sheet).cell(x.row, x.column), x.text);
    }
    for (const auto& [key, value] : before) {
        if (!written.count(key)) {
            EXPECT_TRUE(after.count(key)) << "lost " << key;
        }
    }
    // The numbers typed as numbers, the guarded ones as text.
    EXPECT_TRUE(after["cell|原木一|2|1"].starts_with("2|")) << after["cell|原木一|2|1"];
    EXPECT_TRUE(after["cell|原木一|3|1"].starts_with("1|")) << after["cell|原木一|3|1"];
    EXPECT_TRUE(after["cell|原木一|10|8"].starts_with("1|"));
    EXPECT_TRUE(after["cell|原木一|10|9"].starts_with("1|"));
    EXPECT_TRUE(after["cell|原木一|7|1"].starts_with("6|")); // blank, border kept
}

TEST_F(PeerTest, PoiSeesTheWritesAndNothingElseChanged) {
    if (!test::havePoi()) LANQI_PEER_MISSING("POI (libapache-poi-java) or a JDK");
    fs::path file = copy("poi.xls");
    auto before = test::poiCells(file);
    writeAndSave(file);
    auto after = test::poiCells(file);
    const std::vector<Write> writes = billWrites();
    std::map<std::string, const Write*> written;
    for (const Write& w : writes)
        written[std::string(w.sheet) + "|" + std::to_string(w.row) + "|" +
                std::to_string(w.column)] = &w;
    for (const auto& [key, value] : before) {
        if (written.count(key)) continue;
        if (const FreshResult* f = freshResultOf("cell|" + key)) {
            // The formula as it was, its result computed again.
            EXPECT_EQ(after[key].substr(after[key].rfind('|')), value.substr(value.rfind('|')));
            std::string shown = after[key].substr(after[key].find('|') + 1);
            shown = shown.substr(0, shown.rfind('|'));
            if (after[key].starts_with("formula:numeric|")) shown = plainNumber(std::stod(shown));
            EXPECT_EQ(shown, f->shown) << key;
            continue;
        }
        EXPECT_EQ(after[key], value) << key; // values and formulas as they were
    }
    for (const auto& [key, w] : written) {
        auto found = after.find(key);
        std::string type =
            found == after.end() ? "" : found->second.substr(0, found->second.find('|'));
        std::string shown = found == after.end() ? "" : found->second.substr(type.size() + 1);
        shown = shown.substr(0, shown.rfind('|'));
        if (type == "numeric") shown = plainNumber(std::stod(shown));
        EXPECT_EQ(shown, w->text) << key;
        EXPECT_TRUE(w->text.empty() ? type == "blank" || type.empty()
                                    : type == "numeric" || type == "string")
            << key << " " << type;
    }
    for (const auto& [key, value] : after)
        EXPECT_TRUE(before.count(key) || written.count(key)) << "new cell " << key << " " << value;
    EXPECT_EQ(after["原木一|2|1"].substr(0, 8), "numeric|");
    EXPECT_EQ(after["原木一|3|1"], "string|0451|");
}

// Workbooks Apache POI encrypted with Excel's built-in password take bill
// writes; POI and LibreOffice open the saved copies with no password and show
// them. LibreOffice opens no RC4 CryptoAPI workbook of POI's, not even as POI
// wrote it, so only POI reads that one.
TEST(ProtectedPeer, ABillSavedEncryptedOpensInPoiAndLibreOffice) {
    if (!test::havePoi() || !test::haveLibreOffice())
        GTEST_SKIP() << "POI (with a JDK) and LibreOffice are needed";
    struct Case {
        const char* file;
        bool libreOffice;
    };
    const std::vector<std::tuple<int, int, std::string>> writes = {
        {6, 1, "30"}, {6, 2, "9"}, {6, 3, "4.941"}, {28, 10, "保护的账单：备注"}, {2, 3, "张三木业"}};
    for (const Case& c : {Case{"poi_builtin_password_rc4.xls", true},
                          Case{"poi_builtin_password.xls", false}}) {
        SCOPED_TRACE(c.file);
        const fs::path dir = test::freshDirectory("lanqi-protected");
        const fs::path file = dir / "bill.xls";
        fs::copy_file(fs::path(LANQI_CORPUS_DIR) / c.file, file);
        XlsApplication app([](const fs::path&) {});
        std::string sheet;
        {
            auto book = app.open(file);
            sheet = xls::Document::parse(
                        [&] {
                            std::string bytes = test::readFile(file);
                            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
                        }())
                        .worksheetNames()
                        .front();
            for (const auto& [r, col, text] : writes) book->worksheet(sheet).setCell(r, col, text);
            book->save();
        }
        auto poi = test::poiCells(file);
        for (const auto& [r, col, text] : writes) {
            std::string cell = poi[sheet + "|" + std::to_string(r) + "|" + std::to_string(col)];
            if (cell.empty()) {
                ADD_FAILURE() << "POI shows nothing at " << r << "," << col;
                continue;
            }
            std::string type = cell.substr(0, cell.find('|'));
            std::string shown = cell.substr(type.size() + 1, cell.rfind('|') - type.size() - 1);
            if (type == "numeric") shown = plainNumber(std::stod(shown));
            EXPECT_EQ(shown, text) << r << "," << col << " " << cell;
        }
        if (c.libreOffice) {
            test::convertWithLibreOffice(
                file, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                dir);
            auto shown = readCsv(dir / ("bill-" + sheet + ".csv"));
            for (const auto& [r, col, text] : writes)
                EXPECT_EQ((shown[{r, col}]), text) << r << "," << col;
        }
        fs::remove_all(dir);
    }
}

// Hand-made workbooks that POI refused once written into: a sheet without
// cells, a 2-D shared formula written over at its first cell, a phonetic
// string at the end of an SST record.
TEST(PoiPeer, ReadsHandMadeWorkbooksAfterWrites) {
    if (!test::havePoi()) LANQI_PEER_MISSING("POI (libapache-poi-java) or a JDK");
    test::BookSpec empty;
    empty.sheets = {{"原木一", {}, {}}};
    struct Case {
        const char* what;
        test::BookSpec plan;
        const char* sheet;
        int row, column;
    };
    const Case cases[] = {{"sheet without cells", empty, "原木一", 3, 2},
                          {"2-D shared formula", test::formulaBook(), "原木一", 1, 1},
                          {"phonetic string", test::phoneticBook(), "S", 6, 1}};
    fs::path dir = test::freshDirectory("lanqi-poi-made");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::path file = dir / "账单明细.xls";
        xls::Bytes bytes = test::buildFile(c.plan);
        test::writeFile(file, std::string(bytes.begin(), bytes.end()));
        auto before = test::poiCells(file);
        XlsApplication app([](const fs::path&) {});
        auto book = app.open(file);
        book->worksheet(c.sheet).setCell(c.row, c.column, "木材");
        book->save();
        auto after = test::poiCells(file);
        std::string written =
            std::string(c.sheet) + "|" + std::to_string(c.row) + "|" + std::to_string(c.column);
        EXPECT_EQ(after[written], "string|木材|");
        for (const auto& [key, value] : before)
            if (key != written) {
                EXPECT_EQ(after[key], value) << key;
            }
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace lanqi
