#pragma once
// The party caption and detail caption lists decide which party-name list and
// which detail list are on show; picking a name moves every detail list to
// that name's row.
#include "tally/sheet.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lanqi {

enum class Party { Buyer, Supplier, Both };
// The two screen places the lists share: one party-name list shows in the
// name slot, one detail list in the detail slot.
enum class Slot { Name, Detail };

// The party captions of Combo4, and the party each names.
struct PartyCaption {
    Party party;
    std::string_view caption;
};
inline constexpr PartyCaption kPartyCaptions[] = {
    {Party::Buyer, "购货商:"},
    {Party::Supplier, "供货商:"},
};

// The lists of the party strip, one row each, in the order the bill reads
// them: in each slot the last shown list goes on the bill. A detail list
// shows when Combo2 holds its caption and Combo4 names its party. Entry k of
// a list with a store column is read from row 4 + k of the store sheet, so
// entry k of all of them belongs to one party row.
struct PartyList {
    Combo combo;
    Slot slot;
    Party party;
    std::string_view detailCaption; // empty for the name lists
    char storeColumn;               // 0: typed by the user, never read
};
inline constexpr PartyList kPartyLists[] = {
    {Combo::Combo6, Slot::Name, Party::Buyer, "", 'A'},
    {Combo::Combo5, Slot::Name, Party::Supplier, "", 'E'},
    {Combo::Combo1, Slot::Detail, Party::Buyer, "联系人:", 'B'},
    {Combo::Combo7, Slot::Detail, Party::Buyer, "联系电话:", 'C'},
    {Combo::Combo8, Slot::Detail, Party::Supplier, "联系电话:", 'G'},
    {Combo::Combo9, Slot::Detail, Party::Buyer, "银行账号:", 'D'},
    {Combo::Combo10, Slot::Detail, Party::Supplier, "联系人:", 'F'},
    {Combo::Combo11, Slot::Detail, Party::Supplier, "银行账号:", 'H'},
    {Combo::Combo13, Slot::Detail, Party::Both, "运输车号:", 0},
};

constexpr bool inNameSlot(const PartyList& l) {
    return l.slot == Slot::Name;
}
constexpr bool inDetailSlot(const PartyList& l) {
    return l.slot == Slot::Detail;
}
// The detail lists that follow a picked name to its row.
constexpr bool isPartyDetail(const PartyList& l) {
    return l.slot == Slot::Detail && l.storeColumn != 0;
}

// The lists of kPartyLists that `Keep` takes, in table order.
template <bool (*Keep)(const PartyList&)> constexpr auto partyListsWhere() {
    constexpr auto n =
        static_cast<size_t>(std::count_if(std::begin(kPartyLists), std::end(kPartyLists), Keep));
    std::array<Combo, n> out{};
    size_t i = 0;
    for (const PartyList& l : kPartyLists)
        if (Keep(l)) out[i++] = l.combo;
    return out;
}
inline constexpr auto kNameSlot = partyListsWhere<inNameSlot>();
inline constexpr auto kDetailSlot = partyListsWhere<inDetailSlot>();
inline constexpr auto kPartyDetails = partyListsWhere<isPartyDetail>();

void Combo2_Click(TallySheet& sheet);
void Combo4_Click(TallySheet& sheet);
// Row sync from the entry just picked (the list's selected entry).
void Combo5_Click(TallySheet& sheet);
void Combo6_Click(TallySheet& sheet);

} // namespace lanqi
