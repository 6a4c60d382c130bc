#pragma once
#include "tally/sheet.h"

namespace lanqi {

// Clear counts: empties the piece counts of all four blocks.
void Command1_Click(TallySheet& sheet);

// Clear all: empties counts, diameters, bounds, unit prices, the shown upper
// bounds with amounts 1–4, and the four log lengths.
void Command4_Click(TallySheet& sheet);

} // namespace lanqi
