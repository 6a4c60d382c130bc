#include "workbook/bill_record_of.h"

#include "calc/numeric_text.h"
#include "editing/selectors.h"
#include "tally/tick.h"

#include <algorithm>

namespace lanqi {

namespace {

// Decimal places of the exact sums: volumes in 0.0001 m³, amounts in fen.
constexpr int kVolumePlaces = 4, kAmountPlaces = 2, kPiecePlaces = 0;
constexpr int kGradingLines = 6, kTotalLine = 6, kRows = 20;

std::int64_t units(std::string_view text, int places) {
    return decimalUnits(text, places).value_or(0);
}

// The text of the last shown list of a slot, as the bill takes it.
template <size_t N>
std::string slotText(const TallySheet& sheet, const std::array<Combo, N>& slot) {
    std::string text;
    for (Combo list : slot)
        if (sheet.combo(list).visible) text = sheet.combo(list).text;
    return text;
}

// Picks the entry that holds the text, or types the text when none does.
void pick(TallySheet& sheet, Combo list, const std::string& text) {
    const auto& items = sheet.combo(list).items;
    const auto found = std::find(items.begin(), items.end(), text);
    if (found != items.end())
        sheet.selectComboEntry(list, static_cast<int>(found - items.begin()));
    else
        sheet.setComboText(list, text);
}

// The shown list of a slot takes the text.
template <size_t N>
void pickInSlot(TallySheet& sheet, const std::array<Combo, N>& slot, const std::string& text) {
    for (Combo list : slot)
        if (sheet.combo(list).visible) pick(sheet, list, text);
}

} // namespace

ledger::BillRecord billRecordOf(const TallySheet& sheet, std::string amountInWords) {
    ledger::BillRecord bill;
    bill.partyCaption = sheet.combo(Combo::Combo4).text;
    bill.buyer = slotText(sheet, kNameSlot);
    bill.detailCaption = sheet.combo(Combo::Combo2).text;
    bill.vehicle = slotText(sheet, kDetailSlot);
    bill.scaler = sheet.combo(Combo::Combo12).text;
    bill.species = sheet.combo(Combo::Combo14).text;
    bill.remarks = sheet.text(Arr::Text13, 0);
    for (int b = 0; b < 4; ++b) {
        const Block& block = kBlocks[static_cast<size_t>(b)];
        bill.lengths[static_cast<size_t>(b)] = sheet.text(Arr::Text25, block.lengthIndex);
        for (int i = 0; i < kRows; ++i) {
            const std::string& diameter = sheet.text(block.diameter, i);
            const std::string& count = sheet.text(block.count, i);
            if (diameter.empty() && count.empty()) continue;
            bill.rows.push_back({b + 1, i + 1, diameter, count, sheet.text(block.volume, i)});
        }
    }
    for (int i = 0; i < kGradingLines; ++i) {
        ledger::GradingLine& g = bill.grading[static_cast<size_t>(i)];
        g.lower = sheet.text(Arr::Text26, i);
        if (exists({Arr::Text27, i})) g.upper = sheet.text(Arr::Text27, i);
        g.price = sheet.text(Arr::Text30, i);
        g.pieces = sheet.text(Arr::Text28, i);
        g.volume = sheet.text(Arr::Text29, i);
        g.amount = sheet.text(Arr::Text31, i);
        g.volumeUnits = units(g.volume, kVolumePlaces);
        g.amountFen = units(g.amount, kAmountPlaces);
    }
    bill.totalPieces = sheet.text(Arr::Text28, kTotalLine);
    bill.totalVolume = sheet.text(Arr::Text29, kTotalLine);
    bill.totalAmount = sheet.text(Arr::Text31, kTotalLine);
    bill.pieces = units(bill.totalPieces, kPiecePlaces);
    bill.volumeUnits = units(bill.totalVolume, kVolumePlaces);
    bill.amountFen = units(bill.totalAmount, kAmountPlaces);
    bill.amountInWords = std::move(amountInWords);
    return bill;
}

void showBillRecord(const ledger::BillRecord& bill, TallySheet& sheet) {
    pick(sheet, Combo::Combo4, bill.partyCaption);
    pick(sheet, Combo::Combo2, bill.detailCaption);
    Combo4_Click(sheet);
    // A picked name brings its row's details; the bill's detail then goes over them.
    pickInSlot(sheet, kNameSlot, bill.buyer);
    if (sheet.combo(Combo::Combo6).visible) Combo6_Click(sheet);
    if (sheet.combo(Combo::Combo5).visible) Combo5_Click(sheet);
    pickInSlot(sheet, kDetailSlot, bill.vehicle);
    pick(sheet, Combo::Combo12, bill.scaler);
    pick(sheet, Combo::Combo14, bill.species);
    sheet.setText(Arr::Text13, 0, bill.remarks);
    for (int b = 0; b < 4; ++b) {
        const Block& block = kBlocks[static_cast<size_t>(b)];
        sheet.setText(Arr::Text25, block.lengthIndex, bill.lengths[static_cast<size_t>(b)]);
        for (int i = 0; i < kRows; ++i) {
            sheet.setText(block.diameter, i, "");
            sheet.setText(block.count, i, "");
        }
    }
    for (const ledger::TallyLine& r : bill.rows) {
        if (r.block < 1 || r.block > 4 || r.row < 1 || r.row > kRows) continue;
        const Block& block = kBlocks[static_cast<size_t>(r.block - 1)];
        sheet.setText(block.diameter, r.row - 1, r.diameter);
        sheet.setText(block.count, r.row - 1, r.count);
    }
    for (int i = 0; i < kGradingLines; ++i) {
        const ledger::GradingLine& g = bill.grading[static_cast<size_t>(i)];
        sheet.setText(Arr::Text26, i, g.lower);
        if (exists({Arr::Text27, i})) sheet.setText(Arr::Text27, i, g.upper);
        sheet.setText(Arr::Text30, i, g.price);
    }
    recalculateUntilStable(sheet);
}

} // namespace lanqi
