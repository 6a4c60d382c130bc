#pragma once
// A bill as the ledger keeps it, taken from the tally sheet that went on the
// bill, and put back on the sheet when a bill is reopened.
#include "ledger/bill_record.h"
#include "tally/sheet.h"

#include <string>

namespace lanqi {

// What the bill shows: the parties on show, scaler, species, remarks, log
// lengths, every tally row with a diameter or a count, the six grading rows
// and the totals, texts as shown and sums as exact integers. The serial, the
// time, the workbook, the version and the bill replaced are the caller's.
ledger::BillRecord billRecordOf(const TallySheet& sheet, std::string amountInWords);

// Puts a recorded bill back on the sheet: the party and detail captions with
// their lists, the names and entries picked (an entry the list no longer has
// is kept as typed text), scaler, species, remarks, lengths, the tally rows
// (every other row emptied), grading bounds and prices; the sheet is then
// recalculated, so every figure shows as on the bill.
void showBillRecord(const ledger::BillRecord& bill, TallySheet& sheet);

} // namespace lanqi
