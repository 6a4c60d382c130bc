// The reader's seed corpus: workbooks made by LibreOffice open, read, take a
// write and save, and are written back byte for byte when nothing changed;
// every other file (cut short, renamed, found by the fuzzer) either does the
// same or is refused with a WorkbookError.
#include "book/workbook_stream.h"
#include "calc/numeric_text.h"
#include "cfb/reader.h"
#include "cfb/writer.h"
#include "platform/utf8_path.h"
#include "workbook/xls_spreadsheet.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> corpus() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(LANQI_CORPUS_DIR)) files.push_back(e.path());
    if (fs::exists(LANQI_SHIPPED_WORKBOOK)) files.push_back(LANQI_SHIPPED_WORKBOOK);
    std::sort(files.begin(), files.end());
    return files;
}

// Workbooks made by LibreOffice, or by the engine from them (a version 4
// container), or from them with a formatting record cut short, those
// encrypted with Excel's built-in password, and the shipped workbook must open.
bool mustOpen(const fs::path& p) {
    std::string name = platform::utf8Text(p.filename());
    return name.starts_with("libreoffice_") || name.starts_with("engine_") ||
           name.starts_with("short_") || name.starts_with("poi_builtin_") ||
           p == fs::path(LANQI_SHIPPED_WORKBOOK);
}

TEST(Corpus, EveryFileOpensOrIsRefusedCleanly) {
    auto files = corpus();
    ASSERT_GE(files.size(), 4u);
    for (const fs::path& p : files) {
        SCOPED_TRACE(platform::utf8Text(p.filename()));
        auto bytes = bytesOf(p);
        try {
            auto book = openXlsWorkbook(p, bytes);
            auto doc = xls::Document::parse(bytes);
            auto names = doc.worksheetNames();
            for (std::size_t s = 0; s < names.size(); ++s) {
                Worksheet& sheet = book->worksheet(names[s]);
                doc.forEachCell(s, [&](std::uint32_t r, std::uint16_t c, const xls::CellValue& v) {
                    if (r >= xls::kMaxRows || c >= xls::kMaxColumns) return; // junk places
                    std::string shown = sheet.cell(static_cast<int>(r) + 1, c + 1);
                    if (v.kind == xls::CellValue::Kind::Number) {
                        EXPECT_EQ(shown, plainNumber(v.number));
                    } else if (v.kind == xls::CellValue::Kind::Text ||
                               v.kind == xls::CellValue::Kind::Error) {
                        EXPECT_EQ(shown, v.text);
                    }
                });
            }
            // A workbook that opens takes a write and saves.
            if (!names.empty()) {
                try {
                    doc.setCell(0, 1, 1, xls::CellValue::ofText("木材"));
                } catch (const xls::Error& e) {
                    EXPECT_EQ(e.kind(), xls::ErrorKind::WriteRefused) << e.what();
                }
                EXPECT_NO_THROW(doc.serialize());
            }
        } catch (const WorkbookError& e) {
            EXPECT_FALSE(mustOpen(p)) << e.what();
            EXPECT_NE(std::string(e.what()).find(platform::utf8Text(p.filename())),
                      std::string::npos);
        }
    }
}

TEST(Corpus, UnchangedWorkbooksAreWrittenBackByteForByte) {
    for (const fs::path& p : corpus()) {
        // POI lays out its row index otherwise than the engine rebuilds it.
        if (!mustOpen(p) || platform::utf8Text(p.filename()).starts_with("poi_")) continue;
        SCOPED_TRACE(platform::utf8Text(p.filename()));
        auto bytes = bytesOf(p);
        auto cf = xls::readCompoundFile(bytes);
        const auto& stream = cf.entries[*cf.findInRoot(u"Workbook")].content;
        auto wb = xls::readWorkbookStream(stream);
        EXPECT_EQ(xls::writeWorkbookStream(wb), stream);
        // The container is laid out anew; every stream keeps its content.
        auto again = xls::readCompoundFile(xls::writeCompoundFile(cf));
        ASSERT_EQ(again.entries.size(), cf.entries.size());
        for (std::size_t i = 0; i < cf.entries.size(); ++i) {
            EXPECT_EQ(again.entries[i].name, cf.entries[i].name);
            EXPECT_EQ(again.entries[i].content, cf.entries[i].content);
        }
    }
}

// A defined name is found when it refers to one cell of a worksheet alone:
// not a built-in name, not an area, not a name the workbook lacks.
TEST(Corpus, DefinedNamesOfOneCellAreFound) {
    struct Case {
        fs::path file;
        const char* name;
        std::optional<std::tuple<std::size_t, std::uint32_t, std::uint16_t>> cell;
    };
    const fs::path small = fs::path(LANQI_CORPUS_DIR) / "libreoffice_small.xls";
    const Case cases[] = {
        {LANQI_SHIPPED_WORKBOOK, "单号", std::tuple{std::size_t{0}, 34u, std::uint16_t{10}}},
        {LANQI_SHIPPED_WORKBOOK, "Print_Area", std::nullopt},
        {LANQI_SHIPPED_WORKBOOK, "单", std::nullopt},
        {small, "单号", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = xls::Document::parse(bytesOf(c.file));
        auto found = doc.namedCell(c.name);
        ASSERT_EQ(found.has_value(), c.cell.has_value());
        if (found) {
            EXPECT_EQ(std::tuple(found->sheet, found->row, found->col), *c.cell);
        }
    }
}

} // namespace
} // namespace lanqi
