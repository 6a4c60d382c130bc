#include "tally/tick.h"

#include "calc/numeric_text.h"
#include "calc/volume.h"

#include <limits>
#include <string>
#include <vector>

namespace lanqi {

namespace {

double valueOf(const TallySheet& sheet, Arr arr, int index) {
    return leadingNumber(sheet.text(arr, index));
}

// A computed field as a term of a sum: one that shows the overflow text
// makes the sum overflow too, instead of counting as 0.
double termOf(const TallySheet& sheet, Arr arr, int index) {
    const std::string& text = sheet.text(arr, index);
    if (text == kOverflowText) return std::numeric_limits<double>::quiet_NaN();
    return leadingNumber(text);
}

// Grading row of a diameter: the first row whose bound minus 1 it does not
// exceed; row 5 when it fits none (also for bounds out of order).
int gradingRow(double d, const std::array<double, 6>& bound) {
    if (d <= bound[1] - 1) return 0;
    for (int k = 1; k <= 4; ++k)
        if (bound[k] - 1 < d && d <= bound[k + 1] - 1) return k;
    return 5;
}

void rowVolumes(TallySheet& sheet) {
    for (int i = 0; i < kTallyRows; ++i)
        for (const Block& b : kBlocks)
            sheet.setText(b.volume, i,
                          CaiJiJiSuan(sheet.text(b.diameter, i), sheet.text(b.count, i),
                                      sheet.text(Arr::Text25, b.lengthIndex)));
}

struct GradingSums {
    double pieces[4][kGradingRows] = {};
    double volume[4][kGradingRows] = {};
};

GradingSums grading(const TallySheet& sheet) {
    std::array<double, 6> bound{};
    for (int k = 1; k <= 5; ++k) bound[k] = valueOf(sheet, Arr::Text26, k);
    GradingSums sums;
    for (int i = 0; i < kTallyRows; ++i)
        for (int b = 0; b < 4; ++b) {
            const Block& block = kBlocks[b];
            int k = gradingRow(valueOf(sheet, block.diameter, i), bound);
            sums.pieces[b][k] += valueOf(sheet, block.count, i);
            sums.volume[b][k] += termOf(sheet, block.volume, i);
        }
    return sums;
}

void gradingRows(TallySheet& sheet, const GradingSums& sums) {
    for (int k = 0; k < kGradingRows; ++k) {
        double pieces = 0;
        for (int b = 0; b < 4; ++b) pieces += sums.pieces[b][k];
        sheet.setText(Arr::Text28, k, plainNumber(pieces));
    }
    for (int k = 0; k < kGradingRows; ++k) {
        double volume = 0;
        for (int b = 0; b < 4; ++b) volume += sums.volume[b][k];
        sheet.setText(Arr::Text29, k, fixedNumber(volume, 4));
    }
}

double sumOfRows(const TallySheet& sheet, Arr arr) {
    double sum = 0;
    for (int k = 0; k < kGradingRows; ++k) sum += termOf(sheet, arr, k);
    return sum;
}

void grandTotalsAndAmounts(TallySheet& sheet) {
    sheet.setText(Arr::Text28, kGrandTotal, plainNumber(sumOfRows(sheet, Arr::Text28)));
    sheet.setText(Arr::Text29, kGrandTotal, fixedNumber(sumOfRows(sheet, Arr::Text29), 4));
    // The amounts still hold the previous tick's values here.
    sheet.setText(Arr::Text31, kGrandTotal, fixedNumber(sumOfRows(sheet, Arr::Text31), 2));
    for (int k = 0; k < kGradingRows; ++k)
        sheet.setText(
            Arr::Text31, k,
            fixedNumber(valueOf(sheet, Arr::Text30, k) * termOf(sheet, Arr::Text29, k), 2));
}

// Written once after row 19: the same texts as writing after every row.
void blockTotals(TallySheet& sheet) {
    double pieces[4] = {}, volume[4] = {};
    for (int i = 0; i < kTallyRows; ++i)
        for (int b = 0; b < 4; ++b) {
            pieces[b] += valueOf(sheet, kBlocks[b].count, i);
            volume[b] += termOf(sheet, kBlocks[b].volume, i);
        }
    for (int b = 0; b < 4; ++b) sheet.setText(kBlocks[b].count, kTotalRow, plainNumber(pieces[b]));
    for (int b = 0; b < 4; ++b)
        sheet.setText(kBlocks[b].volume, kTotalRow, fixedNumber(volume[b], 4));
}

} // namespace

void Timer1_Timer(TallySheet& sheet) {
    rowVolumes(sheet);
    gradingRows(sheet, grading(sheet));
    grandTotalsAndAmounts(sheet);
    blockTotals(sheet);
}

void recalculateUntilStable(TallySheet& sheet) {
    constexpr int kMaxTicks = 10;
    auto texts = [&sheet] {
        std::vector<std::string> out;
        for (FieldId f : allFields()) out.push_back(sheet.text(f));
        return out;
    };
    for (int i = 0; i < kMaxTicks; ++i) {
        std::vector<std::string> before = texts();
        Timer1_Timer(sheet);
        if (texts() == before) return;
    }
}

} // namespace lanqi
