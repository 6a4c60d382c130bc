#pragma once
// The mini stream as it is written: every stream shorter than the cutoff,
// each padded to whole mini sectors and chained in the mini FAT.
#include "cfb/directory.h"

#include <vector>

namespace lanqi::xls {

struct MiniStream {
    Bytes data;
    std::vector<std::uint32_t> fat;
    std::vector<std::size_t> regular; // entries whose streams need regular sectors
};

// Packs the small streams and sets their entries' start and size; an empty
// stream starts nowhere. The regular streams are only listed.
MiniStream packMiniStream(const CompoundFile& cf, std::vector<EntryBytes>& dir);

} // namespace lanqi::xls
