#include "editing/blanking.h"

#include "calc/numeric_text.h"

namespace lanqi {

namespace {

// The smallest non-zero value in each written format.
constexpr std::string_view kOnePiece = "1";
constexpr std::string_view kOneVolume = "0.0001";
constexpr std::string_view kOneCent = "0.01";

void emptyIfBelow(TallySheet& sheet, Arr arr, int index, std::string_view threshold) {
    if (sortsBefore(sheet.text(arr, index), threshold)) sheet.setText(arr, index, "");
}

// Text2_Change family: the block total row only.
void blockCountRule(TallySheet& sheet, const Block& b) {
    emptyIfBelow(sheet, b.count, kTotalRow, kOnePiece);
}

// Text3_Change family: rows without a diameter or below one ten-thousandth,
// then the block total.
void rowVolumeRule(TallySheet& sheet, const Block& b) {
    for (int i = 0; i < kTallyRows; ++i) {
        bool noDiameter = sheet.text(b.diameter, i).empty();
        bool zero = sortsBefore(sheet.text(b.volume, i), kOneVolume);
        if (noDiameter || zero) sheet.setText(b.volume, i, "");
    }
    emptyIfBelow(sheet, b.volume, kTotalRow, kOneVolume);
}

// Text28_Change, Text29_Change, Text31_Change: grading rows and grand total.
void gradingRule(TallySheet& sheet, Arr arr, std::string_view threshold) {
    for (int k = 0; k <= kGrandTotal; ++k) emptyIfBelow(sheet, arr, k, threshold);
}

// Runs a rule on every change of its array. The rule's own emptying writes
// notify again; a nested pass would find only what the running pass still
// reaches, so it is skipped: the texts left are the same, without the
// repeated rescans.
template <typename Rule> TallySheet::FieldHandler onEveryChange(Rule rule) {
    return [rule, running = false](int) mutable {
        if (running) return;
        running = true;
        rule();
        running = false;
    };
}

} // namespace

void attachBlankingRules(TallySheet& sheet) {
    for (const Block& b : kBlocks) {
        sheet.addRule(b.count, onEveryChange([&sheet, b] { blockCountRule(sheet, b); }));
        sheet.addRule(b.volume, onEveryChange([&sheet, b] { rowVolumeRule(sheet, b); }));
    }
    sheet.addRule(Arr::Text28,
                  onEveryChange([&sheet] { gradingRule(sheet, Arr::Text28, kOnePiece); }));
    sheet.addRule(Arr::Text29,
                  onEveryChange([&sheet] { gradingRule(sheet, Arr::Text29, kOneVolume); }));
    sheet.addRule(Arr::Text31,
                  onEveryChange([&sheet] { gradingRule(sheet, Arr::Text31, kOneCent); }));
}

} // namespace lanqi
