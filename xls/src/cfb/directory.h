#pragma once
// The directory as it is written: the stored entries of the root and of
// every entry reachable from it, each with where its content now lies.
#include "cfb/compound_file.h"

#include <array>
#include <vector>

namespace lanqi::xls {

using EntryBytes = std::array<std::uint8_t, kEntrySize>;

// Entries dropped from the tree are written as unused entries, so the tree's
// indexes stay as they were; unused entries pad it to whole sectors.
std::vector<EntryBytes> directoryToWrite(const CompoundFile& cf);

// Where the entry's content starts (sector or mini sector) and its size.
void setEntryStream(EntryBytes& entry, std::uint32_t start, std::uint64_t size);

} // namespace lanqi::xls
