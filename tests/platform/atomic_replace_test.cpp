// Replacing the workbook on disk: links are followed or refused, a read-only
// file is left alone, and what killed saves left behind is cleared away.
#include "platform/atomic_replace.h"
#include "platform/utf8_path.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;

const fs::path kWorkbook = pathFromUtf8("账单明细.xls");

class AtomicReplace : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("lanqi-replace-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "real");
        fs::create_directories(dir_ / "link");
        put(dir_ / "real" / kWorkbook, "old");
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_ / "real" / kWorkbook, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_);
    }
    static void put(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string content(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void replace(const fs::path& p, const std::string& text) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        platform::replaceFileAtomically(p, bytes);
    }
    std::vector<std::string> names(const fs::path& d) const {
        std::vector<std::string> n;
        for (const auto& e : fs::directory_iterator(d))
            n.push_back(platform::utf8Text(e.path().filename()));
        std::sort(n.begin(), n.end());
        return n;
    }
    fs::path dir_;
};

TEST_F(AtomicReplace, FollowsSymbolicLinksToTheFileItself) {
    // A relative link to a relative link: the file they name is replaced in
    // its own folder, and both links stay links.
    std::error_code ec;
    fs::create_symlink(pathFromUtf8("../real/账单明细.xls"), dir_ / "link" / "first.xls", ec);
    if (ec == std::errc::function_not_supported || ec == std::errc::not_supported)
        GTEST_SKIP() << "this system's C++ library makes no symbolic links";
    ASSERT_FALSE(ec) << ec.message();
    fs::create_symlink("first.xls", dir_ / "link" / kWorkbook);
    replace(dir_ / "link" / kWorkbook, "new");
    EXPECT_TRUE(fs::is_symlink(dir_ / "link" / kWorkbook));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link" / "first.xls"));
    EXPECT_EQ(content(dir_ / "real" / kWorkbook), "new");
    EXPECT_EQ(names(dir_ / "real"), std::vector<std::string>{"账单明细.xls"});
    EXPECT_EQ(names(dir_ / "link"), (std::vector<std::string>{"first.xls", "账单明细.xls"}));
}

TEST_F(AtomicReplace, RefusesFilesItMustNotReplaceAndLeavesThemAsTheyWere) {
    struct Case {
        const char* what;
        void (*prepare)(const fs::path& file, const fs::path& dir);
        const char* message;
    };
    const Case cases[] = {
        {"read-only",
         [](const fs::path& f, const fs::path&) {
             fs::permissions(f, fs::perms::owner_read | fs::perms::group_read);
         },
         "只读"},
        {"hard link",
         [](const fs::path& f, const fs::path& d) { fs::create_hard_link(f, d / "again.xls"); },
         "硬链接"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown(); // each case starts from fresh folders
        SetUp();
        const fs::path file = dir_ / "real" / kWorkbook;
        c.prepare(file, dir_ / "link");
        auto mode = fs::status(file).permissions();
        try {
            replace(file, "new");
            ADD_FAILURE() << "replaced";
        } catch (const platform::FileWriteError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(content(file), "old");
        EXPECT_EQ(fs::status(file).permissions(), mode);
        EXPECT_EQ(names(dir_ / "real"), std::vector<std::string>{"账单明细.xls"});
    }
}

TEST_F(AtomicReplace, ClearsWhatEarlierKilledSavesLeftBehind) {
    const fs::path real = dir_ / "real";
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {".账单明细.xls.a1B2c3", ".账单明细.xls.zzzzzz", ".账单明细.xls.fresh1",
                             ".其他.xls.a1B2c3", ".账单明细.xls.a1B2c3d", "账单明细.xls.a1B2c3"}) {
        put(real / pathFromUtf8(name), "left");
        if (std::string(name) != ".账单明细.xls.fresh1")
            fs::last_write_time(real / pathFromUtf8(name), old);
    }
    replace(real / kWorkbook, "new");
    EXPECT_EQ(content(real / kWorkbook), "new");
    // Only this file's own temporary files, and only those no save may still be writing.
    EXPECT_EQ(names(real), (std::vector<std::string>{".其他.xls.a1B2c3", ".账单明细.xls.a1B2c3d",
                                                     ".账单明细.xls.fresh1", "账单明细.xls",
                                                     "账单明细.xls.a1B2c3"}));
}

} // namespace
} // namespace lanqi
