#pragma once
#include <string>
#include <string_view>

namespace lanqi {

// Volume of one tally row (m³) by the national log-volume formula, from the
// texts of its diameter class (cm), piece count and its block's log length (m).
// The per-piece volume is rounded first, then multiplied by the count and
// rounded again: "0.0000" for diameters up to 7 cm, "0.000" above.
std::string CaiJiJiSuan(std::string_view jingji, std::string_view jianshu,
                        std::string_view caichang);

} // namespace lanqi
