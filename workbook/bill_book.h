#pragma once
// Every bill written into a workbook is recorded in the ledger beside it:
// the serial is fixed before the bill is written, so the bill can show it,
// and the bill is recorded once its workbook is saved.
#include "ledger/bill_keeper.h"
#include "tally/sheet.h"

#include <filesystem>
#include <string>

namespace lanqi {

class BillBook {
  public:
    explicit BillBook(const std::filesystem::path& workbook);

    // Begins a bill: fixes its time and gives the serial it will be recorded
    // under (empty when the ledger cannot be read just now; the bill then
    // gets its serial when it is recorded).
    std::string begin();
    // Records the bill begun, as the saved sheet shows it; the bill named by
    // reopened() is then replaced and forgotten.
    ledger::Kept record(const TallySheet& sheet, std::string amountInWords);

    // The next bill recorded replaces the bill of this serial.
    void reopened(std::string serial) { replaces_ = std::move(serial); }
    const std::string& replaces() const { return replaces_; }

  private:
    std::filesystem::path workbook_;
    ledger::BillKeeper keeper_;
    std::string localTime_, serial_, replaces_;
};

} // namespace lanqi
