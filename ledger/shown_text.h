#pragma once
// The ledger's lines as they are shown: exact sums with the window's
// decimals (volumes kept in 0.0001 m³ as "0.0000", amounts kept in fen as
// "0.00"), and how a bill stands to the bills it replaced or was replaced by.
#include "ledger/ledger.h"

#include <cstdint>
#include <string>

namespace lanqi::ledger {

// `units` of 10^-decimals written with exactly that many decimals.
inline std::string fixedText(std::int64_t units, int decimals) {
    const auto places = static_cast<std::size_t>(decimals);
    const auto magnitude =
        units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    std::string digits = std::to_string(magnitude);
    if (digits.size() <= places) digits = std::string(places + 1 - digits.size(), '0') + digits;
    const std::size_t point = digits.size() - places;
    std::string text = units < 0 ? "-" : "";
    text.append(digits, 0, point).append(".").append(digits, point);
    return text;
}

inline std::string volumeText(std::int64_t units) {
    return fixedText(units, 4);
}
inline std::string amountText(std::int64_t fen) {
    return fixedText(fen, 2);
}

// "替代 20261208-003", "已被替代", both, or nothing.
inline std::string replacementNote(const BillLine& bill) {
    std::string text;
    if (!bill.replaces.empty()) text = "替代 " + bill.replaces;
    if (bill.replaced) text += std::string(text.empty() ? "" : "，") + "已被替代";
    return text;
}

} // namespace lanqi::ledger
