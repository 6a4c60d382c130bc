#include "workbook/startup_load.h"

#include "workbook/field_cells.h"

namespace lanqi {

using namespace cellmap;

namespace {

void loadList(TallySheet& sheet, const Worksheet& store, const ListRun& list) {
    for (int k = 0; k < list.entries; ++k) {
        std::string value = store.cell(list.firstRow + k, list.column);
        if (list.stopAtEmpty && value.empty()) break;
        sheet.setComboItem(list.combo, k, value);
    }
}

void loadFootCaption(TallySheet& sheet, const Worksheet& store) {
    sheet.setCaption(Label::Label23, store.cell(kFootCaption.row, kFootCaption.column));
}

} // namespace

void loadFromWorkbook(TallySheet& sheet, SpreadsheetApplication& app,
                      const std::filesystem::path& workbook) {
    std::unique_ptr<Workbook> book = app.open(workbook);
    const Worksheet& store = book->worksheet(kStoreSheet);
    for (const ListRun& list : kStoreLists) loadList(sheet, store, list);
    loadFootCaption(sheet, store);
    readFields(sheet, store, kSavedArea2);
}

void loadFootCaption(TallySheet& sheet, SpreadsheetApplication& app,
                     const std::filesystem::path& workbook) {
    std::unique_ptr<Workbook> book = app.open(workbook);
    loadFootCaption(sheet, book->worksheet(kStoreSheet));
}

} // namespace lanqi
