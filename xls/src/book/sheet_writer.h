#pragma once
// A sheet's substream as written. Other sheets than worksheets, and records
// the engine does not change, come out as they were read; a worksheet's
// DIMENSIONS, INDEX and cell table are rebuilt.
#include "book/string_renumbering.h"

namespace lanqi::xls {

void writeSheet(Bytes& out, const WorkbookStream& wb, const Sheet& sheet,
                const StringRenumbering& strings);

} // namespace lanqi::xls
