#pragma once
// A worksheet's cell table as written: blocks of up to 32 rows, each its ROW
// records, then the cells of those rows, then a DBCELL record pointing back
// to them (left out for tables read without).
#include "book/string_renumbering.h"

#include <vector>

namespace lanqi::xls {

// Returns the stream positions of the DBCELL records, for the INDEX record.
std::vector<std::uint32_t> writeCellTable(Bytes& out, const Sheet& sheet,
                                          const StringRenumbering& strings);

} // namespace lanqi::xls
