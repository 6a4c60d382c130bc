#pragma once
// A bill record as text: its tally rows packed in one text (as the database
// keeps them), and the whole record in one line (as the pending file keeps
// it).
#include "ledger/bill_record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ledger {

std::string tallyText(const std::vector<TallyLine>& rows);
std::vector<TallyLine> tallyLines(std::string_view text);

std::string recordLine(const BillRecord& bill);
// Nothing for a line that does not hold a whole record (one cut short).
std::optional<BillRecord> recordOfLine(std::string_view line);

// A new bill key: 64 random bits in hexadecimal.
std::string newKey();

} // namespace lanqi::ledger
