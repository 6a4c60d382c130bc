// UTF-8 to UTF-16 and back: what the wide Windows calls and the remarks
// count in. A malformed byte never loses the text around it.
#include "platform/utf16_text.h"

#include <gtest/gtest.h>

namespace lanqi::platform {
namespace {

TEST(Utf16Text, ConvertsBothWaysAndReplacesWhatIsMalformed) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
        std::string back; // utf16 turned into UTF-8 again
    } cases[] = {
        {"", u"", ""},
        {"Ab1", u"Ab1", "Ab1"},
        {"账单明细.xls", u"账单明细.xls", "账单明细.xls"},
        {"木😀", u"木😀", "木😀"},                                        // a pair of units
        {"a\x80z", u"a\uFFFDz", "a\uFFFDz"},                           // a stray continuation byte
        {"a\xE6\x9C", u"a\uFFFD\uFFFD", "a\uFFFD\uFFFD"},              // cut short at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD", "\uFFFD\uFFFD"},                 // an overlong form of '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD"}, // a surrogate in UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(utf8(c.utf16), c.back) << c.utf8;
        EXPECT_EQ(utf16Length(c.utf8), c.utf16.size()) << c.utf8;
    }
    EXPECT_EQ(utf8(std::u16string{u'a', char16_t(0xD83D)}), "a\uFFFD"); // an unpaired half
    EXPECT_EQ(utf8(std::u16string{char16_t(0xDE00), u'b'}), "\uFFFDb");
}

TEST(Utf16Text, FindsTheByteWhereAUnitStarts) {
    const std::string text = "木😀a"; // units: 木 0, 😀 1–2, a 3
    const std::size_t offsets[] = {0, 3, 3, 7, 8, 8};
    for (std::size_t unit = 0; unit < std::size(offsets); ++unit)
        EXPECT_EQ(byteOffsetOfUnit(text, unit), offsets[unit]) << unit;
}

} // namespace
} // namespace lanqi::platform
