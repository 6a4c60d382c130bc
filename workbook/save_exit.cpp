#include "save_exit.h"

#include "busy_lock.h"
#include "cell_map.h"

namespace lanqi {

using namespace cellmap;

namespace {

template <size_t N>
void storeRuns(const TallySheet& sheet, Worksheet& store, const FieldRun (&runs)[N]) {
    for (const FieldRun& run : runs)
        for (int i = run.first; i <= run.last; ++i) {
            Cell c = run.cellOf(i);
            store.setCell(c.row, c.column, sheet.text(run.arr, i));
        }
}

} // namespace

void storeSettings(const TallySheet& sheet, SpreadsheetApplication& app,
                   const std::filesystem::path& workbook) {
    requireNotOpenElsewhere(workbook);
    std::unique_ptr<Workbook> book = app.open(workbook);
    Worksheet& store = book->worksheet(kStoreSheet);
    storeRuns(sheet, store, kSavedArea1);
    storeRuns(sheet, store, kSavedArea2);
    book->save();
}

} // namespace lanqi
