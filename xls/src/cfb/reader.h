#pragma once
// Reads a compound file (versions 3 and 4): header, FAT with its DIFAT chain,
// directory tree, mini stream and every stream's content. Throws FormatError
// for anything that does not add up; never reads outside `file`.
#include "cfb/compound_file.h"

namespace lanqi::xls {

inline constexpr std::uint8_t kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0,
                                                       0xA1, 0xB1, 0x1A, 0xE1};

bool hasCompoundSignature(ByteView file);
CompoundFile readCompoundFile(ByteView file);

} // namespace lanqi::xls
