#pragma once
// Compound files made in the tests: a root with streams and storages, each
// entry with its own class id and times, written by the engine's writer.
#include "cfb/writer.h"

#include <string>

namespace lanqi::test {

struct EntrySpec {
    std::u16string name;
    xls::EntryType type;
    std::uint32_t left = xls::kNoStream, right = xls::kNoStream, child = xls::kNoStream;
    xls::Bytes content;
    std::uint8_t stamp = 0; // fills the class id and times, so each entry is recognisable
};

xls::CompoundFile buildCompound(const std::vector<EntrySpec>& entries, int version = 3);

// A file with a large workbook stream, a small summary stream in the mini
// stream and a storage holding one stream.
xls::CompoundFile sampleCompound(int version = 3, std::size_t workbookSize = 9000);

xls::Bytes patternBytes(std::size_t n, std::uint8_t seed);

} // namespace lanqi::test
