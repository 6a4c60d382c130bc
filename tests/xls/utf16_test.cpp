// UTF-16 to UTF-8, as entry names and workbook strings are decoded: pairs
// become one character, lone surrogates U+FFFD; valid text goes back as it was.
#include "bytes/utf16.h"
#include "cfb/compound_file.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

TEST(Utf16, DecodesPairsAndReplacesLoneSurrogates) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
        bool valid;
    } cases[] = {
        {u"Workbook", "Workbook", true},
        {u"原木 é", "原木 é", true},
        {u"\U00020000", "𠀀", true},
        {u"a\U0002A6A5b", "a𪚥b", true},
        {std::u16string{u'a', char16_t(0xD840)}, "a\uFFFD", false}, // high, at the end
        {std::u16string{char16_t(0xD840), u'b'}, "\uFFFDb", false}, // high, no low after it
        {std::u16string{char16_t(0xDC00), char16_t(0xD840)}, "\uFFFD\uFFFD",
         false}, // low before high
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xls::utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
        EXPECT_EQ(xls::utf8Name(c.utf16), c.utf8) << c.utf8;
        if (c.valid) {
            EXPECT_EQ(xls::utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        }
    }
    EXPECT_EQ(xls::utf8Name(u"\u0005SummaryInformation"), "?SummaryInformation");
}

} // namespace
} // namespace lanqi
