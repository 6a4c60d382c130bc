#include "editing/clear.h"

namespace lanqi {

void Command1_Click(TallySheet& sheet) {
    for (int i = 0; i < kTallyRows; ++i)
        for (const Block& b : kBlocks) sheet.setText(b.count, i, "");
}

void Command4_Click(TallySheet& sheet) {
    for (int i = 0; i < kTallyRows; ++i)
        for (const Block& b : kBlocks) {
            sheet.setText(b.diameter, i, "");
            sheet.setText(b.count, i, "");
        }
    for (int i = 0; i <= 5; ++i) {
        sheet.setText(Arr::Text26, i, "");
        sheet.setText(Arr::Text30, i, "");
    }
    for (int i = 1; i <= 4; ++i) {
        sheet.setText(Arr::Text27, i, "");
        sheet.setText(Arr::Text31, i, "");
    }
    for (const Block& b : kBlocks) sheet.setText(Arr::Text25, b.lengthIndex, "");
}

} // namespace lanqi
