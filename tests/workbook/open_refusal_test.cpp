// A workbook the engine refuses reaches the user as what it is: each kind of
// refusal with its own message.
#include "workbook/xls_spreadsheet.h"

#include <gtest/gtest.h>

#include <string>

namespace lanqi {
namespace {

TEST(OpenRefusal, EachRefusalKeepsItsKindAndItsWords) {
    using Kind = WorkbookError::Kind;
    struct Case {
        const char* file;
        Kind kind;
        const char* says;
    } cases[] = {
        {"poi_open_password.xls", Kind::Encrypted, "设有打开密码"},
        {"xlsx_renamed.xls", Kind::NotWorkbook, "不是"},
        {"text_file.xls", Kind::NotWorkbook, "不是"},
        {"truncated.xls", Kind::Damaged, "损坏"},
    };
    XlsApplication app;
    for (const Case& c : cases) {
        try {
            app.open(std::filesystem::path(LANQI_CORPUS_DIR) / c.file);
            ADD_FAILURE() << c.file << " opened";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.file << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace lanqi
