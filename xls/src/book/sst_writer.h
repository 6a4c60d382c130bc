#pragma once
// The shared string table as written: SST with its CONTINUE records, then
// EXTSST, the index into it.
#include "book/string_renumbering.h"

namespace lanqi::xls {

void writeSst(Bytes& out, const WorkbookStream& wb, const StringRenumbering& strings);

} // namespace lanqi::xls
