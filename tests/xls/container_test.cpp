// The compound file container: what is written reads back the same, and a
// damaged file is refused with a clear error instead of a crash or a hang.
#include "tests/xls/compound_builder.h"

#include "cfb/reader.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

using xls::Bytes;

std::uint32_t u32(const Bytes& b, std::size_t at) {
    return xls::getU32(b, at);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    xls::setU32(b.data() + at, v);
}

// Where things are in a written version 3 file.
struct Layout {
    const Bytes& file;
    std::size_t sector(std::uint32_t s) const { return xls::sectorOffset(s, 512); }
    std::size_t fatEntry(std::uint32_t s) const {
        return sector(u32(file, xls::kHeaderDifat)) + xls::kSectorLink * s;
    }
    std::size_t dirEntry(std::uint32_t i) const {
        return sector(u32(file, xls::kHeaderFirstDirectorySector)) + xls::kEntrySize * i;
    }
    std::uint32_t start(std::uint32_t i) const { return u32(file, dirEntry(i) + xls::kEntryStart); }
};

void expectDamaged(const Bytes& file, const std::string& part) {
    try {
        xls::readCompoundFile(file);
        ADD_FAILURE() << "read without error";
    } catch (const xls::Error& e) {
        std::string what = e.what();
        EXPECT_EQ(e.kind(), xls::ErrorKind::Damaged) << what;
        EXPECT_NE(what.find(part), std::string::npos) << what;
    }
}

TEST(Container, WrittenFileReadsBackWithEveryEntryAsItWas) {
    for (int version : {3, 4}) {
        xls::CompoundFile original = test::sampleCompound(version);
        Bytes file = xls::writeCompoundFile(original);
        xls::CompoundFile read = xls::readCompoundFile(file);
        EXPECT_EQ(read.majorVersion, version);
        ASSERT_EQ(read.entries.size() >= original.entries.size(), true);
        for (std::size_t i = 0; i < original.entries.size(); ++i) {
            const auto& a = original.entries[i];
            const auto& b = read.entries[i];
            EXPECT_EQ(a.name, b.name);
            EXPECT_EQ(a.type, b.type);
            EXPECT_TRUE(std::equal(a.raw.begin() + xls::kEntryNameBytes,
                                   a.raw.begin() + xls::kEntryStart,
                                   b.raw.begin() + xls::kEntryNameBytes))
                << "links, class id and times of entry " << i;
            if (a.type == xls::EntryType::Stream) {
                EXPECT_EQ(a.content, b.content) << i;
            }
        }
        EXPECT_EQ(read.entries[4].parent, 3u);
        EXPECT_EQ(read.findInRoot(u"WORKBOOK"), 2u);
        EXPECT_FALSE(read.findInRoot(u"VBA")); // inside the storage, not the root
        // Written again unchanged, byte for byte.
        EXPECT_EQ(xls::writeCompoundFile(read), file);
    }
}

TEST(Container, LargeFilesListFatSectorsPastTheHeaderInDifatSectors) {
    // 8 MB needs more than the header's 109 FAT sectors at 512-byte sectors.
    xls::CompoundFile big = test::sampleCompound(3, 8u << 20);
    Bytes file = xls::writeCompoundFile(big);
    EXPECT_GT(u32(file, xls::kHeaderFatSectors), xls::kHeaderDifatEntries);
    EXPECT_GE(u32(file, xls::kHeaderDifatSectors), 1u);
    xls::CompoundFile read = xls::readCompoundFile(file);
    EXPECT_EQ(read.entries[2].content, big.entries[2].content);

    // A DIFAT chain that points back at itself, or ends early.
    Bytes loop = file;
    std::uint32_t difat = u32(file, xls::kHeaderFirstDifatSector);
    put32(loop, xls::kHeaderFatSectors,
          u32(file, xls::kHeaderFatSectors) + 127); // more FAT sectors than one DIFAT sector lists
    put32(loop, xls::kHeaderDifatSectors, 2);
    put32(loop, (difat + 1) * 512 + 508, difat);
    expectDamaged(loop, "DIFAT");
    Bytes shortChain = file;
    put32(shortChain, (difat + 1) * 512 + 508, xls::kEndOfChain);
    put32(shortChain, xls::kHeaderFatSectors, u32(file, xls::kHeaderFatSectors) + 200);
    expectDamaged(shortChain, "DIFAT");
}

TEST(Container, DamagedStructuresAreRefusedWithWhereTheyWent) {
    Bytes good = xls::writeCompoundFile(test::sampleCompound());
    Layout at{good};
    std::uint32_t wb = at.start(2);

    Bytes loop = good;
    put32(loop, at.fatEntry(wb + 1), wb); // second sector links back to the first
    expectDamaged(loop, "成环");

    Bytes outside = good;
    put32(outside, at.fatEntry(wb), 999999);
    expectDamaged(outside, "无效扇区");

    Bytes lying = good;
    put32(lying, at.dirEntry(2) + xls::kEntryStreamSize, 90000); // longer than its chain
    expectDamaged(lying, "长度");

    Bytes huge = good;
    put32(huge, at.dirEntry(2) + xls::kEntryStreamSize, 0xFFFFFFF0);
    expectDamaged(huge, "Workbook");

    Bytes shift = good;
    xls::setU16(shift.data() + xls::kHeaderSectorShift, 16);
    expectDamaged(shift, "扇区大小");

    Bytes version = good;
    xls::setU16(version.data() + xls::kHeaderMajorVersion,
                4); // 512-byte sectors do not fit version 4
    expectDamaged(version, "扇区大小");

    Bytes tree = good;
    put32(tree, at.dirEntry(1) + xls::kEntryLeft, 2); // the summary's left is its own parent
    expectDamaged(tree, "目录树成环");

    Bytes badChild = good;
    put32(badChild, at.dirEntry(0) + xls::kEntryChild, 77);
    expectDamaged(badChild, "目录项");

    Bytes miniLoop = good;
    std::uint32_t miniFat = u32(good, xls::kHeaderFirstMiniFatSector);
    put32(miniLoop, at.sector(miniFat) + 4 * at.start(1) + 4, at.start(1));
    expectDamaged(miniLoop, "成环");

    Bytes miniSize = good;
    put32(miniSize, at.dirEntry(0) + xls::kEntryStreamSize,
          64 * 3); // mini stream shorter than its streams
    expectDamaged(miniSize, "迷你");
}

TEST(Container, TruncatedFilesAreRefusedAtEveryLength) {
    // A last sector cut short only loses padding; a whole sector loses data.
    Bytes good = xls::writeCompoundFile(test::sampleCompound());
    for (std::size_t n = 0; n + 512 <= good.size(); n += 97) {
        Bytes cut(good.begin(), good.begin() + n);
        EXPECT_THROW(xls::readCompoundFile(cut), xls::Error) << n;
    }
}

} // namespace
} // namespace lanqi
