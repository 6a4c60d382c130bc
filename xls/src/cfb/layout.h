#pragma once
// The compound file on disk (versions 3 and 4).
//
// The file is a header followed by sectors of 512 (version 3) or 4096
// (version 4) bytes; sector s starts at (s + 1) * sector size, the header
// filling sector "-1" (a version 4 header is 512 bytes and zeros).
//
//   header                          directory entry (128 bytes)
//   0x00  8  signature              0x00 64  name, UTF-16LE, NUL-terminated
//   0x08 16  class id (zero)        0x40  2  name length in bytes, with the NUL
//   0x18  2  minor version          0x42  1  type (EntryType)
//   0x1A  2  major version: 3, 4    0x43  1  colour of the red-black tree
//   0x1C  2  byte order, 0xFFFE     0x44  4  left sibling
//   0x1E  2  sector shift: 9, 12    0x48  4  right sibling
//   0x20  2  mini sector shift: 6   0x4C  4  child (storages)
//   0x22  6  reserved               0x50 16  class id
//   0x28  4  directory sectors (v4) 0x60  4  state bits
//   0x2C  4  FAT sectors            0x64  8  creation time
//   0x30  4  first directory sector 0x6C  8  modification time
//   0x34  4  transaction signature  0x74  4  first sector (of the mini stream
//   0x38  4  mini stream cutoff              for the root)
//   0x3C  4  first mini FAT sector  0x78  8  stream size (v3: low 4 bytes)
//   0x40  4  mini FAT sectors
//   0x44  4  first DIFAT sector
//   0x48  4  DIFAT sectors
//   0x4C 436 the first 109 FAT sector numbers
//
// The FAT holds one 4-byte link per sector: the next sector of its chain, or
// one of the special numbers below. A DIFAT sector lists further FAT sectors,
// its last 4 bytes linking to the next DIFAT sector. Streams shorter than the
// cutoff live in the mini stream (the root's content), in 64-byte mini
// sectors chained by the mini FAT.
#include <cstddef>
#include <cstdint>

namespace lanqi::xls {

inline constexpr std::uint8_t kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0,
                                                       0xA1, 0xB1, 0x1A, 0xE1};

inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kHeaderMinorVersion = 0x18;
inline constexpr std::size_t kHeaderMajorVersion = 0x1A;
inline constexpr std::size_t kHeaderByteOrder = 0x1C;
inline constexpr std::size_t kHeaderSectorShift = 0x1E;
inline constexpr std::size_t kHeaderMiniSectorShift = 0x20;
inline constexpr std::size_t kHeaderReserved = 0x22;
inline constexpr std::size_t kHeaderReservedSize = 6;
inline constexpr std::size_t kHeaderDirectorySectors = 0x28;
inline constexpr std::size_t kHeaderFatSectors = 0x2C;
inline constexpr std::size_t kHeaderFirstDirectorySector = 0x30;
inline constexpr std::size_t kHeaderTransaction = 0x34;
inline constexpr std::size_t kHeaderMiniCutoff = 0x38;
inline constexpr std::size_t kHeaderFirstMiniFatSector = 0x3C;
inline constexpr std::size_t kHeaderMiniFatSectors = 0x40;
inline constexpr std::size_t kHeaderFirstDifatSector = 0x44;
inline constexpr std::size_t kHeaderDifatSectors = 0x48;
inline constexpr std::size_t kHeaderDifat = 0x4C;
inline constexpr std::size_t kHeaderDifatEntries = 109;

inline constexpr std::uint16_t kByteOrderMark = 0xFFFE;
inline constexpr std::uint16_t kSectorShiftV3 = 9;  // 512-byte sectors
inline constexpr std::uint16_t kSectorShiftV4 = 12; // 4096-byte sectors
inline constexpr std::uint16_t kMiniSectorShift = 6;

inline constexpr std::size_t kEntrySize = 128;
inline constexpr std::size_t kEntryName = 0x00;
inline constexpr std::size_t kEntryNameMaxBytes = 64;
inline constexpr std::size_t kEntryNameBytes = 0x40;
inline constexpr std::size_t kEntryType = 0x42;
inline constexpr std::size_t kEntryColour = 0x43;
inline constexpr std::size_t kEntryLeft = 0x44;
inline constexpr std::size_t kEntryRight = 0x48;
inline constexpr std::size_t kEntryChild = 0x4C;
inline constexpr std::size_t kEntryClassId = 0x50;
inline constexpr std::size_t kEntryClassIdSize = 16;
inline constexpr std::size_t kEntryTimes = 0x64;
inline constexpr std::size_t kEntryTimesSize = 16;
inline constexpr std::size_t kEntryStart = 0x74;
inline constexpr std::size_t kEntryStreamSize = 0x78;

// Sector numbers with a meaning of their own, and the mini stream's units.
inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF; // no sibling or child
inline constexpr std::size_t kMiniSector = 64;
inline constexpr std::size_t kMiniCutoff = 4096; // smaller streams live in the mini stream
inline constexpr std::size_t kSectorLink = 4;    // bytes of one FAT, mini FAT or DIFAT entry

// Where sector `s` starts in the file.
inline std::size_t sectorOffset(std::uint32_t s, std::size_t sectorSize) {
    return (static_cast<std::size_t>(s) + 1) * sectorSize;
}

} // namespace lanqi::xls
