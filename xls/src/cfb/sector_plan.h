#pragma once
// Where a written compound file puts everything: the FAT and DIFAT sectors
// first, then the directory, the mini FAT, the mini stream and the regular
// streams, each a run of consecutive sectors chained in the FAT.
#include "cfb/layout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lanqi::xls {

inline std::size_t sectorsFor(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit;
}

// Links `count` entries from `first` into one chain of `table`.
void linkChain(std::vector<std::uint32_t>& table, std::uint32_t first, std::size_t count);

// Consecutive sectors; an empty run starts at kEndOfChain.
struct SectorRun {
    std::uint32_t first = kEndOfChain;
    std::size_t count = 0;
};

struct SectorPlan {
    std::size_t sectorSize = 0;
    SectorRun fat, difat, directory, miniFat, miniStream;
    std::vector<SectorRun> streams;   // the regular streams, in the order given
    std::vector<std::uint32_t> table; // the FAT, in whole sectors
    std::size_t totalSectors = 0;     // after the header
};

// The bytes of each part, in order; the FAT and DIFAT sectors are counted so
// that they also cover themselves.
struct PartSizes {
    std::size_t directory = 0, miniFat = 0, miniStream = 0;
    std::vector<std::size_t> streams;
};

SectorPlan planSectors(std::size_t sectorSize, const PartSizes& parts);

} // namespace lanqi::xls
