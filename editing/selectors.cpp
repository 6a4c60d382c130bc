#include "editing/selectors.h"

#include <optional>

namespace lanqi {

namespace {

std::optional<Party> partyNamed(std::string_view caption) {
    for (const PartyCaption& c : kPartyCaptions)
        if (c.caption == caption) return c.party;
    return std::nullopt;
}

// The detail list for the party and detail captions; nothing for a pair the
// table does not know.
const PartyList* detailListFor(Party party, std::string_view detail) {
    for (const PartyList& l : kPartyLists)
        if (inDetailSlot(l) && l.detailCaption == detail &&
            (l.party == party || l.party == Party::Both))
            return &l;
    return nullptr;
}

void detailSlotRule(TallySheet& sheet) {
    const std::optional<Party> party = partyNamed(sheet.combo(Combo::Combo4).text);
    if (!party) return;
    const PartyList* shown = detailListFor(*party, sheet.combo(Combo::Combo2).text);
    if (!shown) return;
    for (Combo list : kDetailSlot) sheet.setComboVisible(list, list == shown->combo);
}

void nameSlotRule(TallySheet& sheet) {
    const std::optional<Party> party = partyNamed(sheet.combo(Combo::Combo4).text);
    if (!party) return;
    for (const PartyList& l : kPartyLists)
        if (inNameSlot(l)) sheet.setComboVisible(l.combo, l.party == *party);
}

void rowSync(TallySheet& sheet, Combo nameList) {
    int k = sheet.combo(nameList).selected;
    if (k < 0) return;
    for (Combo list : kPartyDetails)
        if (k < static_cast<int>(sheet.combo(list).items.size())) sheet.selectComboEntry(list, k);
}

} // namespace

void Combo2_Click(TallySheet& sheet) {
    detailSlotRule(sheet);
}

void Combo4_Click(TallySheet& sheet) {
    detailSlotRule(sheet);
    nameSlotRule(sheet);
}

void Combo5_Click(TallySheet& sheet) {
    rowSync(sheet, Combo::Combo5);
}
void Combo6_Click(TallySheet& sheet) {
    rowSync(sheet, Combo::Combo6);
}

} // namespace lanqi
