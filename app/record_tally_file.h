#pragma once
// A recorded bill written back as a tally file (see tally/tally_file.h):
// every text the bill showed, so that `lanqi-tally --bill` writes the same
// bill from it.
#include "ledger/bill_record.h"

#include <string>

namespace lanqi {

std::string tallyFileOf(const ledger::BillRecord& bill);

} // namespace lanqi
