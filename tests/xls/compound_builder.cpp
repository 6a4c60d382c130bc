#include "tests/xls/compound_builder.h"

#include <cstring>

namespace lanqi::test {

xls::Bytes patternBytes(std::size_t n, std::uint8_t seed) {
    xls::Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    return b;
}

xls::CompoundFile buildCompound(const std::vector<EntrySpec>& plans, int version) {
    xls::CompoundFile cf;
    cf.majorVersion = static_cast<std::uint16_t>(version);
    std::memcpy(cf.header.data(), xls::kCompoundSignature, sizeof xls::kCompoundSignature);
    xls::setU16(cf.header.data() + xls::kHeaderMinorVersion, 0x003E);
    xls::setU16(cf.header.data() + xls::kHeaderMajorVersion, cf.majorVersion);
    xls::setU16(cf.header.data() + xls::kHeaderByteOrder, xls::kByteOrderMark);
    xls::setU16(cf.header.data() + xls::kHeaderSectorShift,
                version == 4 ? xls::kSectorShiftV4 : xls::kSectorShiftV3);
    xls::setU16(cf.header.data() + xls::kHeaderMiniSectorShift, xls::kMiniSectorShift);
    xls::setU32(cf.header.data() + xls::kHeaderMiniCutoff, xls::kMiniCutoff);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const EntrySpec& s = plans[i];
        xls::DirectoryEntry e;
        for (std::size_t k = 0; k < s.name.size(); ++k)
            xls::setU16(e.raw.data() + xls::kEntryName + 2 * k, s.name[k]);
        xls::setU16(e.raw.data() + xls::kEntryNameBytes,
                    static_cast<std::uint16_t>(2 * (s.name.size() + 1)));
        e.raw[xls::kEntryType] = static_cast<std::uint8_t>(s.type);
        e.raw[xls::kEntryColour] = 1; // black
        xls::setU32(e.raw.data() + xls::kEntryLeft, s.left);
        xls::setU32(e.raw.data() + xls::kEntryRight, s.right);
        xls::setU32(e.raw.data() + xls::kEntryChild, s.child);
        if (s.type != xls::EntryType::Stream)
            for (std::size_t k = 0; k < xls::kEntryClassIdSize; ++k)
                e.raw[xls::kEntryClassId + k] = static_cast<std::uint8_t>(s.stamp + k);
        for (std::size_t k = 0; k < xls::kEntryTimesSize; ++k)
            e.raw[xls::kEntryTimes + k] = static_cast<std::uint8_t>(s.stamp * 3 + k);
        e.name = s.name;
        e.type = s.type;
        e.left = s.left;
        e.right = s.right;
        e.child = s.child;
        e.reachable = true;
        e.content = s.content;
        cf.entries.push_back(std::move(e));
    }
    return cf;
}

xls::CompoundFile sampleCompound(int version, std::size_t workbookSize) {
    using T = xls::EntryType;
    // Tree: root -> 2 (Workbook) with left 1 (summary) and right 3 (storage);
    // the storage holds 4.
    return buildCompound(
        {
            {u"Root Entry", T::Root, xls::kNoStream, xls::kNoStream, 2, {}, 0x10},
            {u"\u0005SummaryInformation", T::Stream, xls::kNoStream, xls::kNoStream, xls::kNoStream,
             patternBytes(300, 1), 0x20},
            {u"Workbook", T::Stream, 1, 3, xls::kNoStream, patternBytes(workbookSize, 2), 0x30},
            {u"_VBA_PROJECT_CUR", T::Storage, xls::kNoStream, xls::kNoStream, 4, {}, 0x40},
            {u"VBA", T::Stream, xls::kNoStream, xls::kNoStream, xls::kNoStream,
             patternBytes(5000, 3), 0x50},
        },
        version);
}

} // namespace lanqi::test
