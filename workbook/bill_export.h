#pragma once
#include "tally/sheet.h"
#include "workbook/bill_book.h"
#include "workbook/busy_lock.h"
#include "workbook/spreadsheet.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lanqi {

inline constexpr std::string_view kCloseBeforePrinting = "每次打印前请先关闭*账单明细*";

// Writes the tally, with the parties on show, into the bill sheet and saves;
// the serial goes into the cell named 单号 when the workbook names one (an
// empty serial empties it). Returns the total amount in words as the saved
// bill shows it. Throws WorkbookError (the workbook file is then as it was).
std::string writeBill(const TallySheet& sheet, SpreadsheetApplication& app,
                      const std::filesystem::path& workbook, OtherLock other = OtherLock::Refuse,
                      std::string_view serial = {});

// The bill command: warns once per run to close the workbook before printing,
// writes and saves the bill, records it in the ledger beside the workbook,
// then shows the workbook for printing. A failed attempt is tried once more.
class BillCommand {
  public:
    using Inform = std::function<void(std::string_view message)>;
    // Asks the user to close the workbook in the program that holds it; true
    // when the user says it is closed and the bill may go on.
    using ConfirmClosed = std::function<bool(std::string_view message)>;
    BillCommand(SpreadsheetApplication& app, std::filesystem::path workbook, Inform inform,
                ConfirmClosed confirmClosed = {});

    // Shows a message when the retry fails too, when the bill was saved but
    // could not be recorded (it is then recorded with the next bill), or when
    // no spreadsheet program could show it; the tally is never touched. A
    // workbook open in another program is asked about, and written once the
    // user has closed it. True when the bill was written.
    bool Command3_Click(const TallySheet& sheet);

    // The next bill written replaces the recorded bill of this serial.
    void reopened(std::string serial) { book_.reopened(std::move(serial)); }

    // The spreadsheet program started for the bill is watched for a few
    // seconds: while this is true, checkShow() is to be called now and then;
    // it reports a program that failed.
    bool watchingShow() const { return showing_ != nullptr; }
    void checkShow();

  private:
    // The amount in words of the bill saved; nothing when it was not.
    std::optional<std::string> writeOnce(const TallySheet& sheet, std::string_view serial,
                                         std::string& failure);
    void showBill();
    std::string savedHere() const;

    SpreadsheetApplication& app_;
    std::filesystem::path workbook_;
    Inform inform_;
    ConfirmClosed confirmClosed_;
    int attempts_ = 0; // bill warning counter: every attempt of the run
    std::unique_ptr<Showing> showing_;
    BillBook book_;
};

} // namespace lanqi
