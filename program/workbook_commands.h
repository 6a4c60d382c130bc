#pragma once
// The program's work on the workbook: the start-up load, the bill command
// with the watch on its show, and the exit that stores the settings. Every
// failure is told through the window and leaves the sheet as it was.
#include "program/window_port.h"
#include "tally/sheet.h"
#include "workbook/bill_export.h"
#include "workbook/spreadsheet.h"

#include <filesystem>
#include <functional>

namespace lanqi {

class WorkbookCommands {
  public:
    // `window`: the window attached at the time of asking.
    WorkbookCommands(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
                     std::function<WindowPort&()> window);

    // Fills the lists and stored fields. A workbook that cannot be read is
    // told; the window then starts with empty lists.
    void Form_Load(TallySheet& sheet);
    // Settles the sheet, so that the bill's totals add up, and writes the bill.
    void Command3_Click(TallySheet& sheet);
    // Ends the program once the settings are stored, or when the user chooses
    // to end without storing them.
    void Command6_Click(const TallySheet& sheet);
    // A recorded bill was put back on the sheet: the next bill written is
    // recorded as replacing it.
    void reopened(std::string serial) { bill_.reopened(std::move(serial)); }
    // While the bill's show is watched: tells of a spreadsheet program that
    // failed to show it.
    void checkShow();

  private:
    SpreadsheetApplication& spreadsheet_;
    std::filesystem::path workbook_;
    std::function<WindowPort&()> window_;
    BillCommand bill_;
};

} // namespace lanqi
