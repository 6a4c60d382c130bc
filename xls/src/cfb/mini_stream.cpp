#include "cfb/mini_stream.h"

#include "cfb/sector_plan.h"

namespace lanqi::xls {

MiniStream packMiniStream(const CompoundFile& cf, std::vector<EntryBytes>& dir) {
    MiniStream mini;
    for (std::size_t i = 1; i < cf.entries.size(); ++i) {
        const DirectoryEntry& e = cf.entries[i];
        if (e.type == EntryType::Storage || !e.reachable) continue;
        const std::size_t size = e.content.size();
        if (size == 0) {
            setEntryStream(dir[i], kEndOfChain, 0);
        } else if (size < kMiniCutoff) {
            const auto first = static_cast<std::uint32_t>(mini.data.size() / kMiniSector);
            const std::size_t n = sectorsFor(size, kMiniSector);
            mini.data.insert(mini.data.end(), e.content.begin(), e.content.end());
            mini.data.resize(mini.data.size() + (n * kMiniSector - size), 0);
            mini.fat.resize(first + n);
            linkChain(mini.fat, first, n);
            setEntryStream(dir[i], first, size);
        } else {
            mini.regular.push_back(i);
        }
    }
    return mini;
}

} // namespace lanqi::xls
