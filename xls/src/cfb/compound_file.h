#pragma once
// A compound file (the container of .xls workbooks) held in memory: its
// directory entries as they were stored, and the content of every stream.
#include "bytes/byte_io.h"
#include "cfb/layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi::xls {

enum class EntryType : std::uint8_t { Unused = 0, Storage = 1, Stream = 2, Root = 5 };

struct DirectoryEntry {
    std::array<std::uint8_t, kEntrySize> raw{}; // as stored: name, colour, links, class id, times
    std::u16string name;
    EntryType type = EntryType::Unused;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    std::uint32_t parent = kNoStream; // the storage that holds it, found from the tree
    bool reachable = false;           // in the directory tree; others are dropped on write
    Bytes content;                    // streams only
};

struct CompoundFile {
    std::array<std::uint8_t, kHeaderSize>
        header{};                        // as stored; minor version and class id carry over
    std::uint16_t majorVersion = 3;      // 3: 512-byte sectors, 4: 4096-byte sectors
    std::vector<DirectoryEntry> entries; // entry 0 is the root storage

    std::size_t sectorSize() const {
        return std::size_t{1} << (majorVersion == 4 ? kSectorShiftV4 : kSectorShiftV3);
    }
    // A stream or storage directly in the root, by name, case-insensitive.
    std::optional<std::uint32_t> findInRoot(std::u16string_view name) const;
};

// The name as UTF-8 for listings and messages, control characters as '?'.
std::string utf8Name(const std::u16string& name);
// Where an entry stands in the tree, as "/storage/stream"; "/" for the root.
std::string entryPath(const CompoundFile& file, std::uint32_t entry);

} // namespace lanqi::xls
