#include "app/program.h"

#include "editing/blanking.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"

#include <QMessageBox>
#include <QPushButton>

namespace lanqi {

Program::Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook, Inform inform,
                 Ask ask, Exit exit)
    : spreadsheet_(spreadsheet), workbook_(std::move(workbook)), inform_(std::move(inform)),
      ask_(std::move(ask)), exit_(std::move(exit)),
      bill_(spreadsheet_, workbook_, inform_, [this](std::string_view message) {
          return ask_(message, {"继续", "取消"}) == 0;
      }) {
    showWatch_.setInterval(100);
    connect(&showWatch_, &QTimer::timeout, this, [this] {
        bill_.checkShow();
        if (!bill_.watchingShow()) showWatch_.stop();
    });
    attachBlankingRules(sheet_);
    window_ = std::make_unique<ui::MainWindow>(sheet_);
    connect(window_.get(), &ui::MainWindow::billRequested, this, [this] { Command3_Click(); });
    connect(window_.get(), &ui::MainWindow::saveAndExitRequested, this,
            [this] { Command6_Click(); });
    // Told once the event that caused it has ended.
    connect(
        window_.get(), &ui::MainWindow::notice, this,
        [this](const QString& message) { inform_(message.toStdString()); }, Qt::QueuedConnection);
}

void Program::Form_Load() {
    try {
        loadFromWorkbook(sheet_, spreadsheet_, workbook_);
    } catch (const WorkbookError& e) {
        inform_(std::string("无法读取账单明细，程序将以空白列表启动。\n") + e.what());
    } catch (const std::exception& e) {
        informInternal(e);
    }
}

void Program::Command3_Click() {
    try {
        bill_.Command3_Click(sheet_);
    } catch (const std::exception& e) {
        informInternal(e);
    }
    if (bill_.watchingShow()) showWatch_.start();
}

// Ends the program once the settings are stored. When they cannot be, the user
// chooses: try again (after closing the workbook where another program holds
// it), end without storing them, or stay with everything on the window.
void Program::Command6_Click() {
    OtherLock other = OtherLock::Refuse;
    for (;;) {
        std::string failure;
        bool busy = false;
        try {
            storeSettings(sheet_, spreadsheet_, workbook_, other);
            break;
        } catch (const WorkbookError& e) {
            failure = e.what();
            busy = e.kind() == WorkbookError::Kind::Busy;
        } catch (const std::exception& e) {
            failure = std::string("程序内部错误：") + e.what();
        }
        const size_t choice =
            ask_("保存设置失败，程序还没有退出，窗口上的内容都还在。\n" + failure +
                     (busy ? "\n关闭以后点“继续”保存并退出" : "\n点“重试”再保存一次") +
                     "；点“不保存退出”则径级、分组范围、单价和材长的改动不保存；"
                     "点“取消”回到窗口。",
                 {busy ? "继续" : "重试", "不保存退出", "取消"});
        if (choice == 1) break;
        if (choice != 0) return;
        if (busy) other = OtherLock::UserClosedIt;
    }
    exit_();
}

// A fault of the program itself: said as it is, and the window stays.
void Program::informInternal(const std::exception& e) {
    inform_(std::string("程序内部错误，操作没有完成，窗口上的内容都还在。\n") + e.what());
}

size_t askUser(std::string_view message, const std::vector<std::string>& choices) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("澜栖"),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::NoButton);
    std::vector<QAbstractButton*> buttons;
    for (size_t i = 0; i < choices.size(); ++i)
        buttons.push_back(box.addButton(QString::fromStdString(choices[i]),
                                        i + 1 == choices.size() ? QMessageBox::RejectRole
                                                                : QMessageBox::AcceptRole));
    if (buttons.empty()) return 0;
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.setEscapeButton(buttons.back());
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return i;
    return buttons.size() - 1;
}

void showMessage(std::string_view message) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("澜栖"),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace lanqi
