#include "editing/date_caption.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

TEST(DateCaption, TwoDigitMonthAndDayAndATrailingSpace) {
    EXPECT_EQ(dateCaption(2026, 3, 5), "2026年03月05日 ");
    EXPECT_EQ(dateCaption(2026, 12, 7), "2026年12月07日 ");
    EXPECT_EQ(todayCaption().back(), ' ');
}

} // namespace
} // namespace lanqi
