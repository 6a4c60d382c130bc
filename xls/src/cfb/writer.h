#pragma once
// Writes a compound file back: the same version, header class id, directory
// entries (names, class ids, times, tree) and stream contents, laid out anew.
#include "cfb/compound_file.h"

namespace lanqi::xls {

Bytes writeCompoundFile(const CompoundFile& file);

} // namespace lanqi::xls
