#include "tally/tally_file.h"
#include "tally/tick.h"

#include "editing/blanking.h"

#include <gtest/gtest.h>

#include <sstream>

namespace lanqi {
namespace {

TEST(TallyFile, ReadsEntriesAsTypedTexts) {
    std::istringstream in("# 第一车\n"
                          "length,1,4\r\n"
                          "bound,0,14\nbound,1,14\nbound,2,20\nbound,3,26\nbound,4,32\nbound,5,38\n"
                          "upper,1,19\n"
                          "price,2,1000\nprice,3,1200\n"
                          "\n"
                          "row,1,1,20,3\nrow,1,2,30,9\nrow,4,20,12,2\n"
                          "remarks,车号 黑A12345, 已验\n"
                          "buyer,林海木业\nscaler,张三\n"
                          "remarks+,第二行\r\n"
                          "date,2026-01-05\r\n");
    TallySheet sheet;
    attachBlankingRules(sheet);
    const TallyFile filed = readTallyFile(in, sheet);
    ASSERT_TRUE(filed.date);
    EXPECT_EQ(filed.date->year * 10000 + filed.date->month * 100 + filed.date->day, 20260105);
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "4");
    EXPECT_EQ(sheet.text(Arr::Text27, 1), "19");
    EXPECT_EQ(sheet.text(Arr::Text1, 1), "30");
    EXPECT_EQ(sheet.text(Arr::Text11, 19), "2");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "车号 黑A12345, 已验\n第二行");
    EXPECT_EQ(sheet.combo(Combo::Combo6).text, "林海木业");
    EXPECT_EQ(sheet.combo(Combo::Combo12).text, "张三");
    recalculateUntilStable(sheet);
    EXPECT_EQ(sheet.text(Arr::Text31, 6), "4195.20"); // the lagging total has caught up
    EXPECT_EQ(sheet.text(Arr::Text12, 19), "0.086");  // block 4 keeps its length of 3
}

TEST(TallyFile, BadLinesNameTheirLineAndSetNothing) {
    const char* bad[] = {"row,5,1,20,3",   "row,1,21,20,3", "row,1,1,20",      "length,0,4",
                         "price,x,1",      "bound,1",       "colour,red",      "remarks",
                         "row,1,2,20,3,4", "length,1,4,5",  "date,2026-02-30", "date,2026-1-05",
                         "date,26-12-08"};
    for (const char* line : bad) {
        std::istringstream in(std::string("length,1,6\n\n") + line + "\n");
        TallySheet sheet;
        try {
            readTallyFile(in, sheet);
            ADD_FAILURE() << line;
        } catch (const TallyFileError& e) {
            EXPECT_EQ(e.line(), 3) << line;
            EXPECT_NE(std::string(e.what()).find("第 3 行"), std::string::npos);
        }
        EXPECT_EQ(sheet.text(Arr::Text25, 0), "") << line;
    }
}

TEST(TallyFile, ReadsAByteOrderMarkAndFullWidthNumbers) {
    std::istringstream in("\xEF\xBB\xBFlength,1,４\nrow,１,1,２０．５,３\nprice,2,１２０００\n"
                          "remarks,２０ 根\n");
    TallySheet sheet;
    readTallyFile(in, sheet);
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "4");
    EXPECT_EQ(sheet.text(Arr::Text1, 0), "20.5");
    EXPECT_EQ(sheet.text(Arr::Text2, 0), "3");
    EXPECT_EQ(sheet.text(Arr::Text30, 2), "12000");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "２０ 根"); // text entries stay as written
}

TEST(TallyFile, AnUnknownItemIsQuotedShortWithControlsEscaped) {
    const struct {
        std::string item, shown;
    } cases[] = {
        {"colour", "\"colour\""},
        {"a\tb\x01", "\"a\\x09b\\x01\""},
        {std::string(60, 'x'), "\"" + std::string(40, 'x') + "…\""},
        {"木" + std::string(45, 'y'), "\"木" + std::string(39, 'y') + "…\""},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.item + ",1\n");
        TallySheet sheet;
        try {
            readTallyFile(in, sheet);
            ADD_FAILURE() << c.item;
        } catch (const TallyFileError& e) {
            EXPECT_NE(std::string(e.what()).find("不认识的项目 " + c.shown + "（"),
                      std::string::npos)
                << e.what();
        }
    }
}

// Hands out its text, then fails as a disk that cannot be read further.
class FailingBuffer : public std::streambuf {
  public:
    explicit FailingBuffer(std::string text) : text_(std::move(text)) {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

  protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

  private:
    std::string text_;
};

TEST(TallyFile, AReadErrorPartWayIsAnErrorAndSetsNothing) {
    FailingBuffer buffer("length,1,4\nrow,1,1,20,3\nrow,1,2,");
    std::istream in(&buffer);
    TallySheet sheet;
    EXPECT_THROW(readTallyFile(in, sheet), TallyFileError);
    EXPECT_EQ(sheet.text(Arr::Text25, 0), "");
}

} // namespace
} // namespace lanqi
