#pragma once
// The program's work on the workbook: the start-up load, the bill command
// with the watch on its show, and the exit that stores the settings. Every
// failure is told through the window and leaves the sheet as it was.
#include "ledger/ledger.h"
#include "program/window_port.h"
#include "tally/sheet.h"
#include "workbook/bill_export.h"
#include "workbook/spreadsheet.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace lanqi {

class WorkbookCommands {
  public:
    // `window`: the window attached at the time of asking; `statementTemplate`:
    // the shipped statement workbook that statements are made from.
    WorkbookCommands(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
                     std::function<WindowPort&()> window,
                     std::filesystem::path statementTemplate);

    // Fills the lists and stored fields. A workbook that cannot be read is
    // told; the window then starts with empty lists.
    void Form_Load(TallySheet& sheet);
    // Settles the sheet, so that the bill's totals add up, and writes the bill;
    // true when it was written.
    bool Command3_Click(TallySheet& sheet);
    // Puts a recorded bill back on the sheet, every field as it was with its
    // parties and scaler picked; the next bill written replaces it.
    void reopen(TallySheet& sheet, const ledger::BillRecord& bill);
    // A recorded bill was put back on the sheet: the next bill written is
    // recorded as replacing it.
    void reopened(std::string serial) { bill_.reopened(std::move(serial)); }
    // Writes the bills `filter` lets through as a statement beside the
    // ledger and shows it for printing; a failure is told.
    void writeStatement(ledger::Ledger& ledger, const ledger::Filter& filter);
    // Ends the program once the settings are stored, or when the user chooses
    // to end without storing them.
    void Command6_Click(const TallySheet& sheet);
    // While the show of the bill or of a statement is watched: tells of a
    // spreadsheet program that failed to show it.
    void checkShow();

  private:
    SpreadsheetApplication& spreadsheet_;
    std::filesystem::path workbook_;
    std::function<WindowPort&()> window_;
    BillCommand bill_;
    std::filesystem::path statementTemplate_;
    std::filesystem::path statement_; // the statement being shown
    std::unique_ptr<Showing> statementShow_;
};

} // namespace lanqi
