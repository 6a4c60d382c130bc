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

void writeBill(const TallySheet& sheet, SpreadsheetApplication& app,
               const std::filesystem::path& workbook) {
    editWorkbook(app, workbook, kBillSheet, [&sheet](Worksheet& bill) {
        putSlot(bill, kBillNameSlot, sheet, kNameSlot);
        putSlot(bill, kBillDetailSlot, sheet, kDetailSlot);
        for (const ListCell& l : kBillLists) put(bill, l.cell, sheet.combo(l.combo).text);
        for (const CaptionCell& c : kBillCaptions) put(bill, c.cell, sheet.caption(c.label));
        writeFields(sheet, bill, kBillFields);
    });
}

BillCommand::BillCommand(SpreadsheetApplication& app, std::filesystem::path workbook, Inform inform)
    : app_(app), workbook_(std::move(workbook)), inform_(std::move(inform)) {}

void BillCommand::Command3_Click(const TallySheet& sheet) {
    std::string failure;
    for (int tries = 0; tries < 2; ++tries) {
        if (++attempts_ == 1) inform_(kCloseBeforePrinting);
        try {
            writeBill(sheet, app_, workbook_);
        } catch (const WorkbookError& e) {
            failure = e.what();
            continue;
        }
        showBill();
        return;
    }
    inform_("导出账单失败，账单明细没有改动。\n" + failure);
}

void BillCommand::showBill() {
    try {
        app_.show(workbook_);
    } catch (const WorkbookError& e) {
        inform_("账单已保存在 " + platform::utf8Text(workbook_) + "，但无法用表格程序打开它：" +
                e.what());
    }
}

} // namespace lanqi
