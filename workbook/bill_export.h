#pragma once
#include "tally/sheet.h"
#include "workbook/spreadsheet.h"

#include <filesystem>
#include <functional>
#include <string_view>

namespace lanqi {

inline constexpr std::string_view kCloseBeforePrinting = "每次打印前请先关闭*账单明细*";

// Writes the tally, with the parties on show, into the bill sheet and saves.
// Throws WorkbookError (the workbook file is then as it was).
void writeBill(const TallySheet& sheet, SpreadsheetApplication& app,
               const std::filesystem::path& workbook);

// The bill command: warns once per run to close the workbook before printing,
// writes and saves the bill, then shows the workbook for printing. A failed
// attempt is tried once more.
class BillCommand {
  public:
    using Inform = std::function<void(std::string_view message)>;
    BillCommand(SpreadsheetApplication& app, std::filesystem::path workbook, Inform inform);

    // Shows a message when the retry fails too, or when the bill was saved but
    // no spreadsheet program could show it; the tally is never touched.
    void Command3_Click(const TallySheet& sheet);

  private:
    void showBill();

    SpreadsheetApplication& app_;
    std::filesystem::path workbook_;
    Inform inform_;
    int attempts_ = 0; // bill warning counter: every attempt of the run
};

} // namespace lanqi
