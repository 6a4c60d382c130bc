#include "app/program.h"

#include "editing/blanking.h"
#include "workbook/save_exit.h"
#include "workbook/startup_load.h"

#include <QMessageBox>

namespace lanqi {

Program::Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook, Inform inform,
                 Exit exit)
    : spreadsheet_(spreadsheet), workbook_(std::move(workbook)), inform_(std::move(inform)),
      exit_(std::move(exit)), bill_(spreadsheet_, workbook_, inform_) {
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
}

// Ends the program only once the settings are stored; otherwise the window
// stays open with everything on it.
void Program::Command6_Click() {
    try {
        storeSettings(sheet_, spreadsheet_, workbook_);
    } catch (const WorkbookError& e) {
        inform_(std::string("保存设置失败，程序没有退出，窗口上的内容都还在。\n") + e.what());
        return;
    } catch (const std::exception& e) {
        informInternal(e);
        return;
    }
    exit_();
}

// A fault of the program itself: said as it is, and the window stays.
void Program::informInternal(const std::exception& e) {
    inform_(std::string("程序内部错误，操作没有完成，窗口上的内容都还在。\n") + e.what());
}

void showMessage(std::string_view message) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("澜栖"),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace lanqi
