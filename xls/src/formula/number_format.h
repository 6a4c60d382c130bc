#pragma once
// Number formats as the TEXT function applies them: digit placeholders
// (0 # ?), decimal point, thousands separator, percent, quoted and plain
// literals, up to four sections (picked by sign, or by conditions such as
// [>=100] for numbers not below zero), dates and times in digits (AM/PM as
// 上午 and 下午 under [$-804]), and the Chinese numerals [DBNum1] [DBNum2]
// [DBNum3] under a Chinese locale ([$-804]). A format outside these, or
// words in the reader's language, throws NotEvaluated.
#include <string>
#include <string_view>

namespace lanqi::xls::formula {

std::string formatNumber(double v, std::string_view format);
// A text value: the fourth section, or a lone section with @, or the text.
std::string formatText(const std::string& text, std::string_view format);

} // namespace lanqi::xls::formula
