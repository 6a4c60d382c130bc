// Saving in place and showing the file: the new file replaces the old one
// whole, keeps its permissions, and a failed save leaves the old file as it
// was; showing hands the file to a program found on the PATH.
#include "tests/xls/biff_builder.h"

#include "biff/records.h"
#include "platform/atomic_replace.h"
#include "platform/desktop_show.h"
#include "workbook/xls_spreadsheet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lanqi {
namespace {

namespace fs = std::filesystem;
using xls::Bytes;

class Saving : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("lanqi-save-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        test::BookSpec plan;
        plan.sst = {test::simpleSst({"old"})};
        plan.sheets = {
            {"原木一", {test::cellRecord(xls::rec::kLabelSst, 0, 0, 15, test::le32(0))}, {}}};
        Bytes bytes = test::buildFile(plan);
        file_ = dir_ / "账单明细.xls";
        std::ofstream(file_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void TearDown() override {
        ::chmod(dir_.c_str(), 0755);
        fs::remove_all(dir_);
    }
    std::string contents() {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<fs::path> strayFiles() {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path() != file_) out.push_back(e.path());
        return out;
    }
    fs::path dir_, file_;
    std::vector<fs::path> shown_;
    XlsApplication app_{[this](const fs::path& p) { shown_.push_back(p); }};
};

TEST_F(Saving, ReplacesTheFileKeepingItsPermissions) {
    ::chmod(file_.c_str(), 0640);
    auto book = app_.open(file_);
    book->worksheet("原木一").setCell(1, 1, "新");
    book->save();
    struct stat st {};
    ASSERT_EQ(::stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_EQ(app_.open(file_)->worksheet("原木一").cell(1, 1), "新");
    // Saving twice in a row and after further writes works on the same model.
    book->worksheet("原木一").setCell(2, 1, "5");
    book->save();
    EXPECT_EQ(app_.open(file_)->worksheet("原木一").cell(2, 1), "5");
}

TEST_F(Saving, NothingWrittenLeavesTheFileUntouched) {
    struct stat before {};
    ::stat(file_.c_str(), &before);
    auto book = app_.open(file_);
    book->worksheet("原木一").cell(1, 1);
    book->save();
    struct stat after {};
    ::stat(file_.c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(Saving, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    std::string original = contents();
    auto book = app_.open(file_);
    book->worksheet("原木一").setCell(1, 1, "新");
    // The file's place is taken by a folder that cannot be renamed over.
    fs::rename(file_, dir_ / "kept.xls");
    fs::create_directories(file_ / "inside");
    try {
        book->save();
        FAIL() << "saved over a folder";
    } catch (const WorkbookError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("无法保存账单明细.xls"), std::string::npos) << what;
        EXPECT_NE(what.find("原文件未改动"), std::string::npos) << what;
    }
    EXPECT_TRUE(fs::is_directory(file_ / "inside"));
    fs::remove_all(file_);
    fs::rename(dir_ / "kept.xls", file_);
    EXPECT_EQ(contents(), original);
    EXPECT_TRUE(strayFiles().empty()) << strayFiles().front();

    // A folder that cannot take the new file at all.
    if (::geteuid() != 0) {
        ::chmod(dir_.c_str(), 0555);
        EXPECT_THROW(book->save(), WorkbookError);
        ::chmod(dir_.c_str(), 0755);
        EXPECT_EQ(contents(), original);
    }
}

TEST_F(Saving, OpenErrorsNameTheFileAndTheProblem) {
    try {
        app_.open(dir_ / "没有.xls");
        FAIL();
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("无法打开没有.xls：找不到文件"), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(app_.open(dir_), WorkbookError);
    auto book = app_.open(file_);
    try {
        book->worksheet("购销资料");
        FAIL();
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("购销资料"), std::string::npos);
    }
    book->close();
    EXPECT_THROW(book->worksheet("原木一"), std::logic_error);
}

TEST_F(Saving, ShowGoesToTheInjectedViewerOrTheDesktop) {
    app_.show(file_);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0], file_);

    // The desktop opener: a stand-in xdg-open on the PATH records its argument.
    fs::path bin = dir_ / "bin";
    fs::create_directories(bin);
    fs::path marker = dir_ / "opened.txt";
    {
        std::ofstream s(bin / "xdg-open");
        s << "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s' \"$1\" > '" << marker.string()
          << ".tmp' && mv '" << marker.string() << ".tmp' '" << marker.string() << "'\n";
    }
    ::chmod((bin / "xdg-open").c_str(), 0755);
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", bin.c_str(), 1);
    (void)platform::showOnDesktop(file_);
    for (int i = 0; i < 200 && !fs::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_TRUE(fs::exists(marker));
    std::ifstream in(marker);
    std::string arg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(fs::path(arg), fs::absolute(file_));

    // None installed, or no such file: a message that names the file.
    fs::remove(bin / "xdg-open");
    try {
        (void)platform::showOnDesktop(file_);
        FAIL();
    } catch (const platform::OpenError& e) {
        EXPECT_NE(std::string(e.what()).find("无法显示账单明细.xls：没有找到"), std::string::npos)
            << e.what();
    }
    ::setenv("PATH", oldPath.c_str(), 1);
    try {
        (void)platform::showOnDesktop(dir_ / "别的.xls");
        FAIL();
    } catch (const platform::OpenError& e) {
        EXPECT_NE(std::string(e.what()).find("别的.xls"), std::string::npos);
    }
}

TEST(AtomicFile, WritesANewFileBesideNothing) {
    fs::path dir = fs::temp_directory_path() / ("lanqi-atomic-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    Bytes content = {1, 2, 3};
    platform::replaceFileAtomically(dir / "new.bin", content);
    EXPECT_EQ(fs::file_size(dir / "new.bin"), 3u);
    EXPECT_THROW(platform::replaceFileAtomically(dir / "missing" / "x.bin", content),
                 platform::FileWriteError);
    fs::remove_all(dir);
}

} // namespace
} // namespace lanqi
