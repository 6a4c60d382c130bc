#include "cfb/writer.h"

#include <algorithm>
#include <cstring>

namespace lanqi::xls {
namespace {

std::size_t sectorsFor(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit;
}

// Links `count` sectors from `first` into one chain of `table`.
void linkChain(std::vector<std::uint32_t>& table, std::uint32_t first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        table[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEndOfChain;
}

} // namespace

Bytes writeCompoundFile(const CompoundFile& cf) {
    const std::size_t ss = cf.sectorSize();
    const std::size_t perFat = ss / 4;

    // Entries kept: the root and every entry reachable from it. Dropped ones are
    // written as unused entries, so the tree's indexes stay as they were.
    std::vector<std::array<std::uint8_t, 128>> dir;
    for (const DirectoryEntry& e : cf.entries) {
        std::array<std::uint8_t, 128> raw{};
        if (e.reachable || e.type == EntryType::Root) {
            raw = e.raw;
        } else {
            setU32(raw.data() + 0x44, kNoStream);
            setU32(raw.data() + 0x48, kNoStream);
            setU32(raw.data() + 0x4C, kNoStream);
        }
        dir.push_back(raw);
    }
    while ((dir.size() * 128) % ss != 0) {
        std::array<std::uint8_t, 128> raw{};
        setU32(raw.data() + 0x44, kNoStream);
        setU32(raw.data() + 0x48, kNoStream);
        setU32(raw.data() + 0x4C, kNoStream);
        dir.push_back(raw);
    }

    // Mini stream: the small streams, each padded to whole mini sectors.
    Bytes mini;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::size_t> bigStreams;
    for (std::size_t i = 1; i < cf.entries.size(); ++i) {
        const DirectoryEntry& e = cf.entries[i];
        std::uint8_t* raw = dir[i].data();
        if (e.type == EntryType::Storage || !e.reachable) continue;
        std::uint64_t size = e.content.size();
        setU32(raw + 0x78, static_cast<std::uint32_t>(size));
        setU32(raw + 0x7C, static_cast<std::uint32_t>(size >> 32));
        if (size == 0) {
            setU32(raw + 0x74, kEndOfChain);
        } else if (size < kMiniCutoff) {
            std::uint32_t first = static_cast<std::uint32_t>(mini.size() / kMiniSector);
            std::size_t n = sectorsFor(size, kMiniSector);
            mini.insert(mini.end(), e.content.begin(), e.content.end());
            mini.resize(mini.size() + (n * kMiniSector - size), 0);
            miniFat.resize(first + n);
            linkChain(miniFat, first, n);
            setU32(raw + 0x74, first);
        } else {
            bigStreams.push_back(i);
        }
    }
    const std::size_t dirSectors = dir.size() * 128 / ss;
    const std::size_t miniFatSectors = sectorsFor(miniFat.size() * 4, ss);
    const std::size_t miniSectors = sectorsFor(mini.size(), ss);
    std::size_t dataSectors = dirSectors + miniFatSectors + miniSectors;
    for (std::size_t i : bigStreams) dataSectors += sectorsFor(cf.entries[i].content.size(), ss);

    // FAT and DIFAT sectors come first and must also cover themselves.
    std::size_t fatSectors = 0, difatSectors = 0;
    while (true) {
        std::size_t total = dataSectors + fatSectors + difatSectors;
        std::size_t needFat = sectorsFor(total, perFat);
        std::size_t needDifat = needFat > 109 ? sectorsFor(needFat - 109, perFat - 1) : 0;
        if (needFat == fatSectors && needDifat == difatSectors) break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const std::size_t totalSectors = dataSectors + fatSectors + difatSectors;
    std::vector<std::uint32_t> fat(fatSectors * perFat, kFreeSector);
    std::uint32_t next = 0;
    auto place = [&](std::size_t count) {
        std::uint32_t first = next;
        linkChain(fat, first, count);
        next += static_cast<std::uint32_t>(count);
        return count ? first : kEndOfChain;
    };
    const std::uint32_t fatFirst = next;
    for (std::size_t i = 0; i < fatSectors; ++i) fat[next++] = kFatSector;
    const std::uint32_t difatFirst = next;
    for (std::size_t i = 0; i < difatSectors; ++i) fat[next++] = kDifatSector;
    const std::uint32_t dirFirst = place(dirSectors);
    const std::uint32_t miniFatFirst = place(miniFatSectors);
    const std::uint32_t miniFirst = place(miniSectors);
    std::uint8_t* root = dir[0].data();
    setU32(root + 0x74, mini.empty() ? kEndOfChain : miniFirst);
    setU32(root + 0x78, static_cast<std::uint32_t>(mini.size()));
    setU32(root + 0x7C, 0);
    std::vector<std::uint32_t> bigFirst;
    for (std::size_t i : bigStreams) {
        std::uint32_t first = place(sectorsFor(cf.entries[i].content.size(), ss));
        setU32(dir[i].data() + 0x74, first);
        bigFirst.push_back(first);
    }

    Bytes out((totalSectors + 1) * ss, 0);
    auto at = [&](std::uint32_t sector) { return out.data() + (sector + 1) * ss; };

    // Header: the stored one, with the layout fields of this file.
    std::memcpy(out.data(), cf.header.data(), 512);
    std::memset(out.data() + 0x22, 0, 6);
    setU32(out.data() + 0x28, cf.majorVersion == 4 ? static_cast<std::uint32_t>(dirSectors) : 0);
    setU32(out.data() + 0x2C, static_cast<std::uint32_t>(fatSectors));
    setU32(out.data() + 0x30, dirFirst);
    setU32(out.data() + 0x34, 0);
    setU32(out.data() + 0x3C, miniFatSectors ? miniFatFirst : kEndOfChain);
    setU32(out.data() + 0x40, static_cast<std::uint32_t>(miniFatSectors));
    setU32(out.data() + 0x44, difatSectors ? difatFirst : kEndOfChain);
    setU32(out.data() + 0x48, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < 109; ++i)
        setU32(out.data() + 0x4C + 4 * i,
               i < fatSectors ? static_cast<std::uint32_t>(fatFirst + i) : kFreeSector);

    // DIFAT sectors list the FAT sectors past the first 109.
    for (std::size_t d = 0; d < difatSectors; ++d) {
        std::uint8_t* p = at(static_cast<std::uint32_t>(difatFirst + d));
        for (std::size_t k = 0; k < perFat - 1; ++k) {
            std::size_t f = 109 + d * (perFat - 1) + k;
            setU32(p + 4 * k,
                   f < fatSectors ? static_cast<std::uint32_t>(fatFirst + f) : kFreeSector);
        }
        setU32(p + 4 * (perFat - 1),
               d + 1 < difatSectors ? static_cast<std::uint32_t>(difatFirst + d + 1) : kEndOfChain);
    }
    for (std::size_t i = 0; i < fat.size(); ++i)
        setU32(at(fatFirst) + 4 * i, fat[i]); // FAT sectors are consecutive
    for (std::size_t i = 0; i < dir.size(); ++i)
        std::memcpy(at(dirFirst) + 128 * i, dir[i].data(), 128);
    if (miniFatSectors) {
        std::uint8_t* p = at(miniFatFirst);
        for (std::size_t i = 0; i < miniFatSectors * perFat; ++i)
            setU32(p + 4 * i, i < miniFat.size() ? miniFat[i] : kFreeSector);
    }
    if (!mini.empty()) std::memcpy(at(miniFirst), mini.data(), mini.size());
    for (std::size_t k = 0; k < bigStreams.size(); ++k) {
        const Bytes& c = cf.entries[bigStreams[k]].content;
        std::memcpy(at(bigFirst[k]), c.data(), c.size());
    }
    return out;
}

} // namespace lanqi::xls
