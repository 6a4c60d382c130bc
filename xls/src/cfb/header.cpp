#include "cfb/header.h"

#include <cstring>

namespace lanqi::xls {
namespace {

// The FAT sector that holds FAT entries number i, or free when there is none.
std::uint32_t fatSector(const SectorPlan& plan, std::size_t i) {
    return i < plan.fat.count ? static_cast<std::uint32_t>(plan.fat.first + i) : kFreeSector;
}

} // namespace

void writeHeader(Bytes& file, const CompoundFile& cf, const SectorPlan& plan) {
    std::uint8_t* h = file.data();
    std::memcpy(h, cf.header.data(), kHeaderSize);
    std::memset(h + kHeaderReserved, 0, kHeaderReservedSize);
    setU32(h + kHeaderDirectorySectors,
           cf.majorVersion == 4 ? static_cast<std::uint32_t>(plan.directory.count) : 0);
    setU32(h + kHeaderFatSectors, static_cast<std::uint32_t>(plan.fat.count));
    setU32(h + kHeaderFirstDirectorySector, plan.directory.first);
    setU32(h + kHeaderTransaction, 0);
    setU32(h + kHeaderFirstMiniFatSector, plan.miniFat.first);
    setU32(h + kHeaderMiniFatSectors, static_cast<std::uint32_t>(plan.miniFat.count));
    setU32(h + kHeaderFirstDifatSector, plan.difat.first);
    setU32(h + kHeaderDifatSectors, static_cast<std::uint32_t>(plan.difat.count));
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i)
        setU32(h + kHeaderDifat + kSectorLink * i, fatSector(plan, i));
}

void writeDifat(Bytes& file, const SectorPlan& plan) {
    const std::size_t perDifat = plan.sectorSize / kSectorLink - 1;
    for (std::size_t d = 0; d < plan.difat.count; ++d) {
        const auto sector = static_cast<std::uint32_t>(plan.difat.first + d);
        std::uint8_t* p = file.data() + sectorOffset(sector, plan.sectorSize);
        for (std::size_t k = 0; k < perDifat; ++k)
            setU32(p + kSectorLink * k, fatSector(plan, kHeaderDifatEntries + d * perDifat + k));
        setU32(p + kSectorLink * perDifat, d + 1 < plan.difat.count ? sector + 1 : kEndOfChain);
    }
}

} // namespace lanqi::xls
