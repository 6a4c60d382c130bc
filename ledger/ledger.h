#pragma once
// The ledger of bills: every bill written is kept for good, found again and
// added up. One database file beside the workbook; nothing else in the
// program knows how it is stored. Records are never changed or deleted: a
// bill exported again after it was reopened is a new record naming the one
// it replaces.
#include "ledger/bill_record.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::ledger {

inline constexpr std::string_view kLedgerFile = "账单记录.db";

// Why the ledger could not do what was asked; the message says it in Chinese.
class LedgerError : public std::runtime_error {
  public:
    enum class Kind {
        NotWritable, // the file or its folder may not be written
        DiskFull,
        Locked,  // another program holds the database
        Damaged, // not a database, truncated, or failing its checks
        Missing, // no ledger beside the workbook (reading only)
        UnknownSerial,
        Other,
    };
    LedgerError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// Which bills: a period of local dates (inclusive, "yyyy-MM-dd", empty for
// open) and a text found in any text of the bill (buyer, vehicle, scaler,
// species, remarks, serial), case as typed; with inForce, only the bills no
// later bill replaces.
struct Filter {
    std::string from, to;
    std::string text;
    bool inForce = false;
};

// One line of a list of bills, newest first.
struct BillLine {
    std::int64_t id = 0;
    std::string serial, localTime, buyer, vehicle, species;
    std::int64_t pieces = 0, volume = 0, amount = 0; // see Totals
    std::string replaces;                            // serial, or empty
    bool replaced = false;                           // a later record names this one
};

// Sums of a set of bills, exact: volume in 0.0001 m³, amount in fen. A bill
// replaced by a later one is a line of the list but no part of the sums: a
// load reopened and corrected counts once.
struct Totals {
    std::int64_t bills = 0, pieces = 0, volume = 0, amount = 0;
    std::int64_t lines = 0; // every bill the filter lets through, replaced ones too
};

enum class GroupBy { Day, Month, Buyer, Species, Range };
struct SummaryLine {
    std::string key; // the day, month, buyer, species or range ("16-18")
    Totals totals;
};

class Ledger {
  public:
    // Opens the ledger in `folder`, making it when it is not there. A damaged
    // file is moved aside (its name then given by movedAside()) and a new
    // ledger begun. Throws LedgerError.
    static std::unique_ptr<Ledger> open(const std::filesystem::path& folder);
    // Opens an existing ledger for reading only; Missing when there is none.
    static std::unique_ptr<Ledger> openExisting(const std::filesystem::path& folder);
    virtual ~Ledger() = default;

    // Where a damaged ledger was moved when this one was opened, if it was.
    virtual std::optional<std::filesystem::path> movedAside() const = 0;

    // The serial the next bill recorded at `localTime` ("yyyy-MM-dd HH:mm:ss")
    // will get, so that the bill can show it before it is recorded.
    virtual std::string nextSerial(std::string_view localTime) = 0;

    // Records a bill in one durable transaction, giving it the next serial
    // of its day (yyyyMMdd-NNN) unless it has one already; returns the serial.
    // A bill whose serial is taken by another bill gets the next one of its
    // day; one recorded already (same key) is not recorded again: its serial
    // is returned.
    virtual std::string record(BillRecord bill) = 0;

    // The bills the filter lets through, newest first, `count` of them from
    // `first` on; and how many there are with their sums.
    virtual std::vector<BillLine> lines(const Filter& filter, std::int64_t first,
                                        std::int64_t count) = 0;
    virtual Totals totals(const Filter& filter) = 0;
    virtual std::vector<SummaryLine> summary(GroupBy by, const Filter& filter) = 0;
    // The whole bill; UnknownSerial when there is none.
    virtual BillRecord bill(std::string_view serial) = 0;
};

} // namespace lanqi::ledger
