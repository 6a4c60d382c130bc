#include "program/workbook_commands.h"

#include "editing/date_caption.h"
#include "platform/utf8_path.h"
#include "tally/tick.h"
#include "workbook/bill_record_of.h"
#include "workbook/statement.h"
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
                                   std::function<WindowPort&()> window,
                                   std::filesystem::path statementTemplate)
    : spreadsheet_(spreadsheet), workbook_(std::move(workbook)), window_(std::move(window)),
      bill_(
          spreadsheet_, workbook_, [this](std::string_view m) { window_().inform(m); },
          [this](std::string_view m) {
              constexpr std::array kChoices{Choice::Continue, Choice::Cancel};
              return window_().ask(m, kChoices) == Choice::Continue;
          }),
      statementTemplate_(std::move(statementTemplate)) {}

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
bool WorkbookCommands::Command3_Click(TallySheet& sheet) {
    try {
        recalculateUntilStable(sheet);
        return bill_.Command3_Click(sheet);
    } catch (const std::exception& e) {
        window_().inform(internalFault(e));
        return false;
    }
}

void WorkbookCommands::reopen(TallySheet& sheet, const ledger::BillRecord& bill) {
    showBillRecord(bill, sheet);
    reopened(bill.serial);
}

void WorkbookCommands::writeStatement(ledger::Ledger& ledger, const ledger::Filter& filter) {
    const std::filesystem::path out = statementPath(workbook_.parent_path(), filter);
    try {
        lanqi::writeStatement(statementOf(ledger, filter, todayDate()), statementTemplate_, out);
        statement_ = out;
        statementShow_ = spreadsheet_.show(out);
    } catch (const std::exception& e) {
        window_().inform(std::string("对账单没有写成。\n") + e.what());
    }
}

void WorkbookCommands::checkShow() {
    bill_.checkShow();
    if (!statementShow_) return;
    const Showing::State state = statementShow_->state();
    if (state == Showing::State::Watching) return;
    const std::unique_ptr<Showing> decided = std::move(statementShow_);
    if (state == Showing::State::Failed)
        window_().inform("对账单已保存在 " + platform::utf8Text(statement_) +
                         "，但表格程序没能打开它：" + decided->failure() +
                         "。请自己用表格程序打开这个文件。");
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
