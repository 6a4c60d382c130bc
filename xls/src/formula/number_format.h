#pragma once
// Number formats as the TEXT function applies them: digit placeholders
// (0 # ?), decimal point, thousands separator, percent, quoted and plain
// literals, up to four sections, dates and times, and the Chinese numerals
// [DBNum1] [DBNum2] [DBNum3] under a Chinese locale ([$-804]). A format
// outside these throws NotEvaluated.
#include <string>
#include <string_view>

namespace lanqi::xls::formula {

std::string formatNumber(double v, std::string_view format);
// A text value: the fourth section, or a lone section with @, or the text.
std::string formatText(const std::string& text, std::string_view format);

} // namespace lanqi::xls::formula
