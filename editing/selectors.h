#pragma once
// The party caption and detail caption lists decide which party-name list and
// which detail list are on show; picking a name moves every detail list to
// that name's row.
#include "tally/sheet.h"

#include <array>

namespace lanqi {

inline constexpr std::string_view kBuyerCaption = "购货商:";
inline constexpr std::string_view kSupplierCaption = "供货商:";

// The two party-name lists (name slot) and the seven detail-slot lists, in
// the order their visibility is set and the bill reads them.
inline constexpr std::array<Combo, 2> kNameSlot{Combo::Combo6, Combo::Combo5};
inline constexpr std::array<Combo, 7> kDetailSlot{Combo::Combo1, Combo::Combo7,  Combo::Combo8,
                                                  Combo::Combo9, Combo::Combo10, Combo::Combo11,
                                                  Combo::Combo13};
// The six party-detail lists in row-sync order.
inline constexpr std::array<Combo, 6> kPartyDetails{Combo::Combo1, Combo::Combo7,  Combo::Combo8,
                                                    Combo::Combo9, Combo::Combo10, Combo::Combo11};

void Combo2_Click(TallySheet& sheet);
void Combo4_Click(TallySheet& sheet);
// Row sync from the entry just picked (the list's selected entry).
void Combo5_Click(TallySheet& sheet);
void Combo6_Click(TallySheet& sheet);

} // namespace lanqi
