#include "cfb/sector_plan.h"

namespace lanqi::xls {

void linkChain(std::vector<std::uint32_t>& table, std::uint32_t first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        table[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEndOfChain;
}

SectorPlan planSectors(std::size_t sectorSize, const PartSizes& parts) {
    SectorPlan plan;
    plan.sectorSize = sectorSize;
    const std::size_t perFat = sectorSize / kSectorLink;
    const std::size_t perDifat = perFat - 1; // the last link chains the DIFAT sectors
    const std::size_t dirSectors = sectorsFor(parts.directory, sectorSize);
    const std::size_t miniFatSectors = sectorsFor(parts.miniFat, sectorSize);
    const std::size_t miniSectors = sectorsFor(parts.miniStream, sectorSize);
    std::size_t dataSectors = dirSectors + miniFatSectors + miniSectors;
    for (std::size_t bytes : parts.streams) dataSectors += sectorsFor(bytes, sectorSize);

    std::size_t fatSectors = 0, difatSectors = 0;
    while (true) {
        std::size_t total = dataSectors + fatSectors + difatSectors;
        std::size_t needFat = sectorsFor(total, perFat);
        std::size_t needDifat =
            needFat > kHeaderDifatEntries ? sectorsFor(needFat - kHeaderDifatEntries, perDifat) : 0;
        if (needFat == fatSectors && needDifat == difatSectors) break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    plan.totalSectors = dataSectors + fatSectors + difatSectors;
    plan.table.assign(fatSectors * perFat, kFreeSector);

    std::uint32_t next = 0;
    auto reserve = [&](std::size_t count, std::uint32_t mark) {
        SectorRun run{count ? next : kEndOfChain, count};
        for (std::size_t i = 0; i < count; ++i) plan.table[next++] = mark;
        return run;
    };
    auto chain = [&](std::size_t count) {
        SectorRun run{count ? next : kEndOfChain, count};
        linkChain(plan.table, next, count);
        next += static_cast<std::uint32_t>(count);
        return run;
    };
    plan.fat = reserve(fatSectors, kFatSector);
    plan.difat = reserve(difatSectors, kDifatSector);
    plan.directory = chain(dirSectors);
    plan.miniFat = chain(miniFatSectors);
    plan.miniStream = chain(miniSectors);
    for (std::size_t bytes : parts.streams)
        plan.streams.push_back(chain(sectorsFor(bytes, sectorSize)));
    return plan;
}

} // namespace lanqi::xls
