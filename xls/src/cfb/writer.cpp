#include "cfb/writer.h"

#include "cfb/directory.h"
#include "cfb/header.h"
#include "cfb/mini_stream.h"
#include "cfb/sector_plan.h"

#include <cstring>

namespace lanqi::xls {
namespace {

void putLinks(std::uint8_t* at, const std::vector<std::uint32_t>& links, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        setU32(at + kSectorLink * i, i < links.size() ? links[i] : kFreeSector);
}

} // namespace

Bytes writeCompoundFile(const CompoundFile& cf) {
    const std::size_t ss = cf.sectorSize();
    std::vector<EntryBytes> dir = directoryToWrite(cf);
    MiniStream mini = packMiniStream(cf, dir);

    PartSizes sizes{dir.size() * kEntrySize, mini.fat.size() * kSectorLink, mini.data.size(), {}};
    for (std::size_t i : mini.regular) sizes.streams.push_back(cf.entries[i].content.size());
    const SectorPlan plan = planSectors(ss, sizes);
    setEntryStream(dir[0], plan.miniStream.first, mini.data.size());
    for (std::size_t k = 0; k < mini.regular.size(); ++k)
        setEntryStream(dir[mini.regular[k]], plan.streams[k].first, sizes.streams[k]);

    Bytes out(sectorOffset(static_cast<std::uint32_t>(plan.totalSectors), ss), 0);
    auto at = [&](std::uint32_t sector) { return out.data() + sectorOffset(sector, ss); };
    writeHeader(out, cf, plan);
    writeDifat(out, plan);
    putLinks(at(plan.fat.first), plan.table, plan.table.size()); // FAT sectors are consecutive
    for (std::size_t i = 0; i < dir.size(); ++i)
        std::memcpy(at(plan.directory.first) + kEntrySize * i, dir[i].data(), kEntrySize);
    if (plan.miniFat.count)
        putLinks(at(plan.miniFat.first), mini.fat, plan.miniFat.count * ss / kSectorLink);
    if (!mini.data.empty())
        std::memcpy(at(plan.miniStream.first), mini.data.data(), mini.data.size());
    for (std::size_t k = 0; k < mini.regular.size(); ++k) {
        const Bytes& c = cf.entries[mini.regular[k]].content;
        std::memcpy(at(plan.streams[k].first), c.data(), c.size());
    }
    return out;
}

} // namespace lanqi::xls
