#pragma once
#include <string>

namespace lanqi {

// The foot line's date, "yyyy年MM月dd日 " with its trailing space.
std::string dateCaption(int year, int month, int day);

// Today's caption, by the machine's local date.
std::string todayCaption();

// Today by the machine's local date as yyyy-MM-dd.
std::string todayDate();

} // namespace lanqi
