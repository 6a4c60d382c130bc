// Console demonstration of the tally core: a small load, two ticks, the sheet.
#include "blanking.h"
#include "sheet.h"
#include "tick.h"

#include <iostream>

int main() {
    using namespace lanqi;
    TallySheet sheet;
    attachBlankingRules(sheet);
    sheet.setText(Arr::Text25, 0, "4");
    const char* bounds[] = {"14", "14", "20", "26", "32", "38"};
    for (int k = 0; k < 6; ++k) sheet.setText(Arr::Text26, k, bounds[k]);
    sheet.setText(Arr::Text30, 2, "1000");
    sheet.setText(Arr::Text30, 3, "1200");
    const char* rows[][2] = {{"20", "3"}, {"30", "9"}, {"12", "2"}};
    for (int i = 0; i < 3; ++i) {
        sheet.setText(Arr::Text1, i, rows[i][0]);
        sheet.setText(Arr::Text2, i, rows[i][1]);
    }
    Timer1_Timer(sheet);
    Timer1_Timer(sheet);
    for (int a = 0; a < kArrCount; ++a) {
        const ArrayShape& s = shapeOf(static_cast<Arr>(a));
        for (int i = s.first; i <= s.last; ++i) {
            FieldId f{s.arr, i};
            if (!sheet.text(f).empty()) std::cout << fieldName(f) << " = " << sheet.text(f) << "\n";
        }
    }
}
