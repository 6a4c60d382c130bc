#pragma once
#include "tally/sheet.h"

namespace lanqi {

// Attaches the change rules that show zero counts, volumes and amounts, and
// the volume of a row without a diameter, as empty fields. Each rule rescans
// its array's fixed range on every change and writes only the empty text;
// the ordinal comparison, not a numeric test, decides what is zero.
void attachBlankingRules(TallySheet& sheet);

} // namespace lanqi
