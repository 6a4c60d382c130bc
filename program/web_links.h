#pragma once
// The two link labels and the fixed addresses they open in the browser.
#include <string_view>

namespace lanqi::ui {

struct WebLink {
    std::string_view label;
    std::string_view address;
};

inline constexpr WebLink kWebLinks[] = {
    {"Label8", "https://www.forestry.gov.cn/"},
    {"Label5", "https://www.gov.cn/"},
};

} // namespace lanqi::ui
