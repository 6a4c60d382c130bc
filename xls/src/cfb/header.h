#pragma once
// The header of a written compound file and the DIFAT sectors that go on
// with its list of FAT sectors.
#include "cfb/compound_file.h"
#include "cfb/sector_plan.h"

namespace lanqi::xls {

// The stored header (minor version, class id carry over) with the layout
// fields of the plan; `file` holds the whole file being written.
void writeHeader(Bytes& file, const CompoundFile& cf, const SectorPlan& plan);
// The FAT sectors past the header's first 109, listed in DIFAT sectors.
void writeDifat(Bytes& file, const SectorPlan& plan);

} // namespace lanqi::xls
