#pragma once
// The running program: the start-up load, the window, and the window's two
// workbook commands. Failures are reported in a message and never end the
// program or lose what is on the window.
#include "tally/sheet.h"
#include "ui/main_window.h"
#include "workbook/bill_export.h"
#include "workbook/spreadsheet.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace lanqi {

class Program : public QObject {
  public:
    using Inform = std::function<void(std::string_view message)>;
    using Exit = std::function<void()>;

    Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook, Inform inform,
            Exit exit);

    // Fills the lists and stored fields from the workbook. A workbook that
    // cannot be read is reported; the program then starts with empty lists.
    void Form_Load();

    TallySheet& sheet() { return sheet_; }
    ui::MainWindow& window() { return *window_; }

  private:
    void Command3_Click();
    void Command6_Click();
    void informInternal(const std::exception& e);

    SpreadsheetApplication& spreadsheet_;
    std::filesystem::path workbook_;
    Inform inform_;
    Exit exit_;
    TallySheet sheet_;
    BillCommand bill_;
    std::unique_ptr<ui::MainWindow> window_;
};

// A modal message with an OK button only and no icon, under the program's title.
void showMessage(std::string_view message);

} // namespace lanqi
