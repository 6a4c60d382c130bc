// Workbooks Excel encrypts with its built-in password (protected against
// changes only) open, take writes and are saved encrypted the same way; one
// with an open password of the user's stays refused.
#include "tests/xls/biff_builder.h"

#include "biff/file_pass.h"
#include "biff/record_stream.h"
#include "biff/records.h"
#include "book/workbook_stream.h"
#include "cfb/reader.h"

#include <lanqi/xls/document.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lanqi {
namespace {

namespace rec = xls::rec;
using test::le16;
using test::operator+;
using xls::Bytes;
using xls::CellValue;

Bytes corpusFile(const char* name) {
    std::ifstream in(std::filesystem::path(LANQI_CORPUS_DIR) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The workbook stream as stored and its FILEPASS payload.
struct Stored {
    Bytes stream;
    Bytes filePass;
};
Stored stored(const Bytes& file) {
    xls::CompoundFile cf = xls::readCompoundFile(file);
    Stored s{cf.entries[*cf.findInRoot(u"Workbook")].content, {}};
    for (const xls::RecordRef& r : xls::splitRecords(s.stream))
        if (r.id == rec::kFilePass) s.filePass.assign(r.data.begin(), r.data.end());
    return s;
}

TEST(Encryption, AWorkbookWithTheBuiltInPasswordOpensAndIsSavedEncryptedAgain) {
    struct Case {
        const char* file;
        bool freshSalt; // false: its properties are encrypted with the key
    };
    for (const Case& c : {Case{"poi_builtin_password.xls", false},       // RC4 CryptoAPI
                          Case{"poi_builtin_password_rc4.xls", true}}) { // RC4
        SCOPED_TRACE(c.file);
        const Bytes original = corpusFile(c.file);
        auto doc = xls::Document::parse(original);
        ASSERT_FALSE(doc.worksheetNames().empty());
        std::vector<std::tuple<std::uint32_t, std::uint16_t, CellValue>> before;
        doc.forEachCell(0, [&](std::uint32_t r, std::uint16_t col, const CellValue& v) {
            before.emplace_back(r, col, v);
        });
        ASSERT_FALSE(before.empty());
        EXPECT_EQ(doc.serialize(), original);

        const std::string remark = "保护的账单 Protected bill";
        doc.setCell(0, 200, 9, CellValue::ofText(remark));
        doc.setCell(0, 201, 3, CellValue::ofNumber(12.345));
        const Bytes saved = doc.serialize();
        auto again = xls::Document::parse(saved);
        EXPECT_EQ(again.cell(0, 200, 9), CellValue::ofText(remark));
        EXPECT_EQ(again.cell(0, 201, 3), CellValue::ofNumber(12.345));
        for (const auto& [r, col, v] : before) EXPECT_EQ(again.cell(0, r, col), v);

        // Encrypted as before: the same method, a new salt where allowed, no
        // written text in the clear.
        const Stored was = stored(original), is = stored(saved);
        ASSERT_EQ(is.filePass.size(), was.filePass.size());
        EXPECT_TRUE(
            std::equal(was.filePass.begin(), was.filePass.begin() + 6, is.filePass.begin()));
        EXPECT_EQ(is.filePass != was.filePass, c.freshSalt);
        EXPECT_TRUE(xls::WorkbookKey::builtIn(is.filePass).has_value());
        const std::string ascii = "Protected bill";
        EXPECT_EQ(std::search(is.stream.begin(), is.stream.end(), ascii.begin(), ascii.end()),
                  is.stream.end());
    }
}

TEST(Encryption, OtherPasswordsAndMethodsAreRefused) {
    Bytes wrongVerifier = corpusFile("poi_builtin_password.xls");
    const Bytes filePass = stored(wrongVerifier).filePass;
    auto at =
        std::search(wrongVerifier.begin(), wrongVerifier.end(), filePass.begin(), filePass.end());
    ASSERT_NE(at, wrongVerifier.end());
    at[static_cast<std::ptrdiff_t>(filePass.size()) - 1] ^= 1; // the verifier's hash
    test::BookSpec xorPlan;
    // XOR obfuscation: key, verifier of the built-in password.
    xorPlan.extraGlobals = {test::record(rec::kFilePass, le16(0) + le16(0x1234) + le16(0x9A0A))};
    xorPlan.sheets = {{"S", {}, {}}};
    struct Case {
        const char* what;
        Bytes file;
        const char* says;
    };
    const Case cases[] = {
        {"an open password", corpusFile("poi_open_password.xls"), "设有打开密码"},
        {"a verifier that does not match", wrongVerifier, "设有打开密码"},
        {"XOR obfuscation", test::buildFile(xorPlan), "XOR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            xls::Document::parse(c.file);
            ADD_FAILURE() << "opened";
        } catch (const xls::Error& e) {
            EXPECT_EQ(e.kind(), xls::ErrorKind::Encrypted);
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
    // The records after FILEPASS are not read as if they were in the clear.
    EXPECT_THROW(xls::readWorkbookStream(stored(corpusFile("poi_builtin_password.xls")).stream),
                 xls::Error);
}

} // namespace
} // namespace lanqi
