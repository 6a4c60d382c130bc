#include "workbook/save_exit.h"

#include "workbook/field_cells.h"

namespace lanqi {

void storeSettings(const TallySheet& sheet, SpreadsheetApplication& app,
                   const std::filesystem::path& workbook, OtherLock other) {
    editWorkbook(
        app, workbook, cellmap::kStoreSheet,
        [&sheet](Worksheet& store) {
            writeFields(sheet, store, cellmap::kSavedArea1);
            writeFields(sheet, store, cellmap::kSavedArea2);
        },
        other);
}

} // namespace lanqi
