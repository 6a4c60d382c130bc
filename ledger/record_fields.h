#pragma once
// The single fields of a bill record, each with the name it is kept under.
// The database's bills table and the pending file both walk this table, so
// a field added here is kept by both.
#include "ledger/bill_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lanqi::ledger {

struct TextField {
    std::string_view name;
    std::string BillRecord::*member;
};
inline constexpr TextField kTextFields[] = {
    {"serial", &BillRecord::serial},
    {"local_time", &BillRecord::localTime},
    {"party_caption", &BillRecord::partyCaption},
    {"buyer", &BillRecord::buyer},
    {"detail_caption", &BillRecord::detailCaption},
    {"vehicle", &BillRecord::vehicle},
    {"scaler", &BillRecord::scaler},
    {"species", &BillRecord::species},
    {"remarks", &BillRecord::remarks},
    {"total_pieces", &BillRecord::totalPieces},
    {"total_volume", &BillRecord::totalVolume},
    {"total_amount", &BillRecord::totalAmount},
    {"amount_in_words", &BillRecord::amountInWords},
    {"workbook", &BillRecord::workbookPath},
    {"version", &BillRecord::programVersion},
    {"replaces", &BillRecord::replaces},
    {"key", &BillRecord::key},
};

// The four log lengths, block by block.
inline constexpr std::string_view kLengthFields[] = {"length1", "length2", "length3", "length4"};

struct NumberField {
    std::string_view name;
    std::int64_t BillRecord::*member;
};
inline constexpr NumberField kNumberFields[] = {
    {"pieces", &BillRecord::pieces},
    {"volume", &BillRecord::volumeUnits},
    {"amount", &BillRecord::amountFen},
};

// The texts a filter searches, in the order they are joined.
inline constexpr std::string BillRecord::*kSearchedFields[] = {
    &BillRecord::serial,  &BillRecord::buyer,   &BillRecord::vehicle,
    &BillRecord::scaler,  &BillRecord::species, &BillRecord::remarks,
};

} // namespace lanqi::ledger
