#include "workbook/bill_export.h"

#include "platform/utf8_path.h"
#include "workbook/field_cells.h"

namespace lanqi {

using namespace cellmap;

namespace {

void put(Worksheet& bill, Cell c, std::string_view text) {
    bill.setCell(c.row, c.column, text);
}

// The text of the last shown list of a slot: the lists are written in order
// and the last shown one stays. With none shown the cell keeps its value.
template <size_t N>
void putSlot(Worksheet& bill, Cell c, const TallySheet& sheet, const std::array<Combo, N>& slot) {
    for (Combo list : slot)
        if (sheet.combo(list).visible) put(bill, c, sheet.combo(list).text);
}

} // namespace

std::string writeBill(const TallySheet& sheet, SpreadsheetApplication& app,
                      const std::filesystem::path& workbook, OtherLock other,
                      std::string_view serial) {
    std::string amountInWords;
    editWorkbook(
        app, workbook, kBillSheet,
        [&sheet, serial](Worksheet& bill) {
            if (auto at = bill.namedCell(kSerialName)) bill.setCell(at->row, at->column, serial);
            putSlot(bill, kBillNameSlot, sheet, kNameSlot);
            putSlot(bill, kBillDetailSlot, sheet, kDetailSlot);
            for (const ListCell& l : kBillLists) put(bill, l.cell, sheet.combo(l.combo).text);
            for (const CaptionCell& c : kBillCaptions) put(bill, c.cell, sheet.caption(c.label));
            writeFields(sheet, bill, kBillFields);
        },
        other,
        [&amountInWords](const Worksheet& bill) {
            amountInWords = bill.cell(kBillAmountInWords.row, kBillAmountInWords.column);
        });
    return amountInWords;
}

BillCommand::BillCommand(SpreadsheetApplication& app, std::filesystem::path workbook, Inform inform,
                         ConfirmClosed confirmClosed)
    : app_(app), workbook_(std::move(workbook)), inform_(std::move(inform)),
      confirmClosed_(std::move(confirmClosed)), book_(workbook_) {}

// The bill is recorded once its workbook is saved; a record that could not be
// written is told after the bill is shown.
bool BillCommand::Command3_Click(const TallySheet& sheet) {
    std::string failure;
    const std::string serial = book_.begin();
    for (int tries = 0; tries < 2; ++tries) {
        if (++attempts_ == 1) inform_(kCloseBeforePrinting);
        if (auto amountInWords = writeOnce(sheet, serial, failure)) {
            const ledger::Kept kept = book_.record(sheet, std::move(*amountInWords));
            showBill();
            if (!kept.message.empty()) inform_(kept.message);
            return true;
        }
        if (failure.empty()) return false; // the user let it be
    }
    inform_("导出账单失败，账单明细没有改动。\n" + failure);
    return false;
}

// One attempt. While another program holds the workbook the user is asked to
// close it, as often as it takes; a refusal ends the command quietly.
std::optional<std::string> BillCommand::writeOnce(const TallySheet& sheet, std::string_view serial,
                                                  std::string& failure) {
    OtherLock other = OtherLock::Refuse;
    for (;;) {
        try {
            return writeBill(sheet, app_, workbook_, other, serial);
        } catch (const WorkbookError& e) {
            failure = e.what();
            if (e.kind() != WorkbookError::Kind::Busy || !confirmClosed_) return std::nullopt;
            if (!confirmClosed_(failure + "\n关闭以后点“继续”导出账单；点“取消”则不导出，"
                                          "窗口上的内容都还在。")) {
                failure.clear();
                return std::nullopt;
            }
            other = OtherLock::UserClosedIt;
        }
    }
}

std::string BillCommand::savedHere() const {
    return "账单已保存在 " + platform::utf8Text(workbook_) + "，";
}

void BillCommand::showBill() {
    try {
        showing_ = app_.show(workbook_);
    } catch (const WorkbookError& e) {
        inform_(savedHere() + "但无法用表格程序打开它：" + e.what());
        return;
    }
    checkShow();
}

// The watch is let go before the message, which may run the event loop.
void BillCommand::checkShow() {
    if (!showing_) return;
    const Showing::State state = showing_->state();
    if (state == Showing::State::Watching) return;
    const std::unique_ptr<Showing> decided = std::move(showing_);
    if (state == Showing::State::Failed)
        inform_(savedHere() + "但表格程序没能打开它：" + decided->failure() +
                "。请自己用表格程序打开这个文件。");
}

} // namespace lanqi
