#pragma once
#include "tally/sheet.h"

namespace lanqi {

// The recalculation tick, run every 700 ms: row volumes, grading, grading
// rows, grand totals and amounts, block totals, in that order. The amount
// total sums the amounts as they stood when the tick began.
void Timer1_Timer(TallySheet& sheet);

// Ticks until a tick changes nothing (the amount total lags one tick).
void recalculateUntilStable(TallySheet& sheet);

} // namespace lanqi
