#include "editing/date_caption.h"

#include <cstdio>
#include <ctime>

namespace lanqi {

std::string dateCaption(int year, int month, int day) {
    char digits[3][8];
    std::snprintf(digits[0], sizeof digits[0], "%04d", year);
    std::snprintf(digits[1], sizeof digits[1], "%02d", month);
    std::snprintf(digits[2], sizeof digits[2], "%02d", day);
    return std::string(digits[0]) + "年" + digits[1] + "月" + digits[2] + "日 ";
}

namespace {

std::tm localToday() {
    std::time_t now = std::time(nullptr);
    // The program has one thread, so the library's shared result is safe.
    return *std::localtime(&now);
}

} // namespace

std::string todayCaption() {
    const std::tm local = localToday();
    return dateCaption(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string todayDate() {
    const std::tm local = localToday();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}

} // namespace lanqi
