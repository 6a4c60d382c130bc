#pragma once
// The running program: the start-up load, the window, and the window's two
// workbook commands. Failures are reported in a message and never end the
// program or lose what is on the window.
#include "tally/sheet.h"
#include "ui/main_window.h"
#include "workbook/bill_export.h"
#include "workbook/spreadsheet.h"

#include <QObject>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace lanqi {

class Program : public QObject {
  public:
    using Inform = std::function<void(std::string_view message)>;
    // A question with a button per choice; returns the index of the one
    // chosen. The last choice stays in the window and is what Escape picks.
    using Ask =
        std::function<size_t(std::string_view message, const std::vector<std::string>& choices)>;
    using Exit = std::function<void()>;

    Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook, Inform inform,
            Ask ask, Exit exit);

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
    Ask ask_;
    Exit exit_;
    QTimer showWatch_; // looks at the start of the program showing the bill
    TallySheet sheet_;
    BillCommand bill_;
    std::unique_ptr<ui::MainWindow> window_;
};

// A modal message with an OK button only and no icon, under the program's title.
void showMessage(std::string_view message);
// A modal question with a button per choice, under the program's title.
size_t askUser(std::string_view message, const std::vector<std::string>& choices);

} // namespace lanqi
