#pragma once
// Keeps every bill written: records it in the ledger beside the workbook, and
// when that fails keeps it in a pending file beside the ledger, to be
// recorded with the next bill. Nothing is dropped without the user being
// told.
#include "ledger/bill_record.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ledger {

inline constexpr std::string_view kPendingFile = "账单记录.待写入";

// What became of a bill handed to the keeper.
struct Kept {
    bool recorded = false; // this bill is in the ledger
    std::string serial;    // its serial there
    // For the user, in Chinese; empty when everything went as it should. Also
    // set when the bill was recorded but a damaged ledger had to be moved.
    std::string message;
};

class BillKeeper {
  public:
    explicit BillKeeper(std::filesystem::path folder);

    // The serial the next bill kept at `localTime` will get, counting those
    // waiting too; empty when the ledger cannot be read just now.
    std::string nextSerial(std::string_view localTime);

    // Records the bills waiting, then this one, each in its own transaction.
    // Whatever is not recorded waits in the pending file; when even that
    // cannot be written it is held here for the next bill.
    Kept keep(BillRecord bill);

    std::filesystem::path pendingFile() const;

  private:
    std::filesystem::path folder_;
    std::vector<BillRecord> held_;
    // A damaged ledger moved aside while the serial was sought; told by keep().
    std::optional<std::filesystem::path> aside_;
};

} // namespace lanqi::ledger
