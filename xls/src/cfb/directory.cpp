#include "cfb/directory.h"

namespace lanqi::xls {
namespace {

EntryBytes unusedEntry() {
    EntryBytes raw{};
    setU32(raw.data() + kEntryLeft, kNoStream);
    setU32(raw.data() + kEntryRight, kNoStream);
    setU32(raw.data() + kEntryChild, kNoStream);
    return raw;
}

} // namespace

std::vector<EntryBytes> directoryToWrite(const CompoundFile& cf) {
    std::vector<EntryBytes> dir;
    for (const DirectoryEntry& e : cf.entries)
        dir.push_back(e.reachable || e.type == EntryType::Root ? e.raw : unusedEntry());
    while ((dir.size() * kEntrySize) % cf.sectorSize() != 0) dir.push_back(unusedEntry());
    return dir;
}

void setEntryStream(EntryBytes& entry, std::uint32_t start, std::uint64_t size) {
    setU32(entry.data() + kEntryStart, start);
    setU32(entry.data() + kEntryStreamSize, static_cast<std::uint32_t>(size));
    setU32(entry.data() + kEntryStreamSize + 4, static_cast<std::uint32_t>(size >> 32));
}

} // namespace lanqi::xls
