#include "app/record_tally_file.h"

#include <string_view>

namespace lanqi {

namespace {

// Lines of a text entry: a text of several lines goes on with "KEYWORD+".
void putText(std::string& out, std::string_view keyword, std::string_view text) {
    std::string_view key = keyword;
    std::string more = std::string(keyword) + "+";
    for (;;) {
        const std::size_t end = text.find('\n');
        out += std::string(key) + "," + std::string(text.substr(0, end)) + "\n";
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
        key = more;
    }
}

void putNumber(std::string& out, std::string_view keyword, int k, const std::string& text) {
    out += std::string(keyword) + "," + std::to_string(k) + "," + text + "\n";
}

} // namespace

std::string tallyFileOf(const ledger::BillRecord& bill) {
    std::string out = "# 单号 " + bill.serial + "，" + bill.localTime + "\n";
    if (!bill.replaces.empty()) out += "# 替代单号 " + bill.replaces + "\n";
    // The bill shows the day it was recorded.
    if (bill.localTime.size() >= 10) out += "date," + bill.localTime.substr(0, 10) + "\n";
    putText(out, "party", bill.partyCaption);
    putText(out, "buyer", bill.buyer);
    putText(out, "detail", bill.detailCaption);
    putText(out, "vehicle", bill.vehicle);
    putText(out, "scaler", bill.scaler);
    putText(out, "species", bill.species);
    putText(out, "remarks", bill.remarks);
    for (int b = 0; b < 4; ++b)
        putNumber(out, "length", b + 1, bill.lengths[static_cast<size_t>(b)]);
    for (int k = 0; k < 6; ++k) {
        const ledger::GradingLine& g = bill.grading[static_cast<size_t>(k)];
        putNumber(out, "bound", k, g.lower);
        if (k >= 1 && k <= 4) putNumber(out, "upper", k, g.upper);
        putNumber(out, "price", k, g.price);
    }
    for (const ledger::TallyLine& r : bill.rows)
        out += "row," + std::to_string(r.block) + "," + std::to_string(r.row) + "," + r.diameter +
               "," + r.count + "\n";
    return out;
}

} // namespace lanqi
