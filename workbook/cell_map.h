#pragma once
// Every cell of the workbook that the program reads or writes, as data.
// Rows and columns are counted from 1. Load, bill export and save walk these
// tables; no cell address is written anywhere else.
#include "editing/selectors.h"
#include "tally/sheet.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <span>
#include <string_view>

namespace lanqi::cellmap {

inline constexpr std::string_view kWorkbookFile = "账单明细.xls";
inline constexpr std::string_view kStoreSheet = "购销资料";
inline constexpr std::string_view kBillSheet = "原木一";
// The defined name of the bill sheet's cell that takes the bill's serial; a
// workbook without it gets no serial.
inline constexpr std::string_view kSerialName = "单号";

// Column letters as numbers.
enum Col : int { A = 1, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W };

struct Cell {
    int row, column;
};

// Elements first..last of a field array in one column, element i in row
// firstRow + (i - first).
struct FieldRun {
    Arr arr;
    int first, last;
    int column, firstRow;
    Cell cellOf(int index) const { return {firstRow + index - first, column}; }
};

// A list read from one column of the store sheet: at most `entries` rows from
// firstRow down, ending before the first empty cell when stopAtEmpty is set.
struct ListRun {
    Combo combo;
    int column, firstRow, entries;
    bool stopAtEmpty;
};

// The party lists start in this row of the store sheet and hold this many
// entries; a party-name list ends before its first empty cell.
inline constexpr int kPartyFirstRow = 4, kPartyEntries = 201;

// The store sheet's other lists: the species and the scaler list.
inline constexpr ListRun kOtherStoreLists[] = {
    {Combo::Combo14, K, 3, 16, true},
    {Combo::Combo12, J, 4, 3, false},
};

// Store sheet lists, read at start-up in this order: the party lists read
// from the store sheet (kPartyLists), then the others.
constexpr auto storeLists() {
    constexpr auto stored = [](const PartyList& l) { return l.storeColumn != 0; };
    constexpr auto parties =
        static_cast<size_t>(std::count_if(std::begin(kPartyLists), std::end(kPartyLists), stored));
    std::array<ListRun, parties + std::size(kOtherStoreLists)> runs{};
    size_t i = 0;
    for (const PartyList& l : kPartyLists)
        if (stored(l))
            runs[i++] = {l.combo, l.storeColumn - 'A' + 1, kPartyFirstRow, kPartyEntries,
                         inNameSlot(l)};
    for (const ListRun& other : kOtherStoreLists) runs[i++] = other;
    return runs;
}
inline constexpr auto kStoreLists = storeLists();

// The foot-line caption on the store sheet.
inline constexpr Cell kFootCaption{4, I};

// Saved fields, area 1: written on every save, never read back.
inline constexpr FieldRun kSavedArea1[] = {
    {Arr::Text1, 0, 19, L, 1},  {Arr::Text4, 0, 19, M, 1},  {Arr::Text7, 0, 19, N, 1},
    {Arr::Text10, 0, 19, O, 1}, {Arr::Text26, 0, 5, U, 21}, {Arr::Text30, 0, 5, V, 21},
    {Arr::Text27, 1, 4, W, 22},
};

// Saved fields, area 2: written on every save and restored at start-up.
inline constexpr FieldRun kSavedArea2[] = {
    {Arr::Text1, 0, 19, A, 25},  {Arr::Text4, 0, 19, D, 25}, {Arr::Text7, 0, 19, G, 25},
    {Arr::Text10, 0, 19, J, 25}, {Arr::Text26, 0, 5, M, 25}, {Arr::Text30, 0, 5, R, 25},
    {Arr::Text27, 1, 4, O, 26},  {Arr::Text25, 0, 0, B, 23},
};

// Bill sheet: fields, in the order they are written.
inline constexpr FieldRun kBillFields[] = {
    // tally rows 0–19 in rows 6–25, columns A–L
    {Arr::Text1, 0, 19, A, 6},
    {Arr::Text2, 0, 19, B, 6},
    {Arr::Text3, 0, 19, C, 6},
    {Arr::Text4, 0, 19, D, 6},
    {Arr::Text5, 0, 19, E, 6},
    {Arr::Text6, 0, 19, F, 6},
    {Arr::Text7, 0, 19, G, 6},
    {Arr::Text8, 0, 19, H, 6},
    {Arr::Text9, 0, 19, I, 6},
    {Arr::Text10, 0, 19, J, 6},
    {Arr::Text11, 0, 19, K, 6},
    {Arr::Text12, 0, 19, L, 6},
    // grading rows 0–5 in rows 28–33, the grand total in row 34
    {Arr::Text26, 0, 5, A, 28},
    {Arr::Text27, 1, 4, C, 29},
    {Arr::Text28, 0, 6, D, 28},
    {Arr::Text29, 0, 6, F, 28},
    {Arr::Text30, 0, 5, G, 28},
    {Arr::Text31, 0, 5, I, 28},
    {Arr::Text31, 6, 6, G, 34},
    // remarks
    {Arr::Text13, 0, 0, J, 28},
    // log lengths
    {Arr::Text25, 0, 0, B, 4},
    {Arr::Text25, 1, 1, D, 4},
    {Arr::Text25, 2, 2, G, 4},
    {Arr::Text25, 3, 3, J, 4},
    // block total rows: pieces under the diameter column, volume under the volume column
    {Arr::Text2, 20, 20, A, 26},
    {Arr::Text3, 20, 20, C, 26},
    {Arr::Text5, 20, 20, D, 26},
    {Arr::Text6, 20, 20, F, 26},
    {Arr::Text8, 20, 20, G, 26},
    {Arr::Text9, 20, 20, I, 26},
    {Arr::Text11, 20, 20, J, 26},
    {Arr::Text12, 20, 20, L, 26},
};

// Bill sheet: a list's text into one cell.
struct ListCell {
    Combo combo;
    Cell cell;
};
inline constexpr ListCell kBillLists[] = {
    {Combo::Combo14, {3, C}},
    {Combo::Combo12, {3, J}},
    {Combo::Combo2, {2, G}},
    {Combo::Combo4, {2, A}},
};

// Bill sheet: the shown list of a slot into one cell, the lists tried in
// order, the last shown one staying.
inline constexpr Cell kBillNameSlot{2, C};   // kNameSlot lists
inline constexpr Cell kBillDetailSlot{2, J}; // kDetailSlot lists

// Bill sheet: label captions.
struct CaptionCell {
    Label label;
    Cell cell;
};
inline constexpr CaptionCell kBillCaptions[] = {
    {Label::Label22, {35, G}},
    {Label::Label23, {35, C}},
};

// Bill sheet: the total amount in words, a formula of the workbook on the
// total amount; read back once the bill is saved, never written.
inline constexpr Cell kBillAmountInWords{34, J};

} // namespace lanqi::cellmap
