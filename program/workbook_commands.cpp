#include "program/workbook_commands.h"

#include "tally/tick.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"

#include <array>

namespace lanqi {

namespace {

// A fault of the program itself: said as it is, and the window stays.
std::string internalFault(const std::exception& e) {
    return std::string("程序内部错误，操作没有完成，窗口上的内容都还在。\n") + e.what();
}

} // namespace

WorkbookCommands::WorkbookCommands(SpreadsheetApplication& spreadsheet,
                                   std::filesystem::path workbook,
                                   std::function<WindowPort&()> window)
    : spreadsheet_(spreadsheet), workbook_(std::move(workbook)), window_(std::move(window)),
      bill_(
          spreadsheet_, workbook_, [this](std::string_view m) { window_().inform(m); },
          [this](std::string_view m) {
              constexpr std::array kChoices{Choice::Continue, Choice::Cancel};
              return window_().ask(m, kChoices) == Choice::Continue;
          }) {}

void WorkbookCommands::Form_Load(TallySheet& sheet) {
    WindowPort& port = window_();
    try {
        loadFromWorkbook(sheet, spreadsheet_, workbook_);
    } catch (const WorkbookError& e) {
        port.inform(std::string("无法读取账单明细，程序将以空白列表启动。\n") + e.what());
    } catch (const std::exception& e) {
        port.inform(internalFault(e));
    }
}

// The amount total follows a changed amount one tick later, so a sheet just
// edited is recalculated until it is stable before it goes on a bill; the
// window then shows what the bill holds.
void WorkbookCommands::Command3_Click(TallySheet& sheet) {
    try {
        recalculateUntilStable(sheet);
        bill_.Command3_Click(sheet);
    } catch (const std::exception& e) {
        window_().inform(internalFault(e));
    }
}

void WorkbookCommands::checkShow() {
    bill_.checkShow();
}

// When the settings cannot be stored the user chooses: try again (after
// closing the workbook where another program holds it), end without storing
// them, or stay with everything on the window.
void WorkbookCommands::Command6_Click(const TallySheet& sheet) {
    WindowPort& port = window_();
    OtherLock other = OtherLock::Refuse;
    for (;;) {
        std::string failure;
        bool busy = false;
        try {
            storeSettings(sheet, spreadsheet_, workbook_, other);
            break;
        } catch (const WorkbookError& e) {
            failure = e.what();
            busy = e.kind() == WorkbookError::Kind::Busy;
        } catch (const std::exception& e) {
            failure = std::string("程序内部错误：") + e.what();
        }
        const Choice again = busy ? Choice::Continue : Choice::Retry;
        const std::array choices{again, Choice::EndWithoutStoring, Choice::Cancel};
        const auto words = [](Choice c) { return "“" + std::string(wordsOf(c)) + "”"; };
        const Choice choice =
            port.ask("保存设置失败，程序还没有退出，窗口上的内容都还在。\n" + failure +
                         (busy ? "\n关闭以后点" + words(again) + "保存并退出"
                               : "\n点" + words(again) + "再保存一次") +
                         "；点" + words(Choice::EndWithoutStoring) +
                         "则径级、分组范围、单价和材长的改动不保存；点" + words(Choice::Cancel) +
                         "回到窗口。",
                     choices);
        if (choice == Choice::EndWithoutStoring) break;
        if (choice != again) return;
        if (busy) other = OtherLock::UserClosedIt;
    }
    port.endProgram();
}

} // namespace lanqi
