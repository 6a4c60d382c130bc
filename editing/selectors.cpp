#include "editing/selectors.h"

namespace lanqi {

namespace {

struct DetailChoice {
    std::string_view party, detail;
    Combo shown;
};
constexpr DetailChoice kDetailTable[] = {
    {kBuyerCaption, "联系电话:", Combo::Combo7},
    {kBuyerCaption, "联系人:", Combo::Combo1},
    {kBuyerCaption, "银行账号:", Combo::Combo9},
    {kBuyerCaption, "运输车号:", Combo::Combo13},
    {kSupplierCaption, "联系电话:", Combo::Combo8},
    {kSupplierCaption, "联系人:", Combo::Combo10},
    {kSupplierCaption, "银行账号:", Combo::Combo11},
    {kSupplierCaption, "运输车号:", Combo::Combo13},
};

// Order in which the seven detail-slot visibilities are set.
constexpr Combo kVisibilityOrder[] = {Combo::Combo7,  Combo::Combo1,  Combo::Combo8, Combo::Combo9,
                                      Combo::Combo10, Combo::Combo11, Combo::Combo13};

void detailSlotRule(TallySheet& sheet) {
    const std::string& party = sheet.combo(Combo::Combo4).text;
    const std::string& detail = sheet.combo(Combo::Combo2).text;
    for (const DetailChoice& c : kDetailTable) {
        if (c.party != party || c.detail != detail) continue;
        for (Combo list : kVisibilityOrder) sheet.setComboVisible(list, list == c.shown);
        return;
    }
}

void nameSlotRule(TallySheet& sheet) {
    const std::string& party = sheet.combo(Combo::Combo4).text;
    if (party != kBuyerCaption && party != kSupplierCaption) return;
    bool supplier = party == kSupplierCaption;
    sheet.setComboVisible(Combo::Combo5, supplier);
    sheet.setComboVisible(Combo::Combo6, !supplier);
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
