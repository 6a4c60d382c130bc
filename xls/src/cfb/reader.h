#pragma once
// Reads a compound file (versions 3 and 4): header, FAT with its DIFAT chain,
// directory tree, mini stream and every stream's content. Throws FormatError
// for anything that does not add up; never reads outside `file`.
#include "cfb/compound_file.h"

namespace lanqi::xls {

bool hasCompoundSignature(ByteView file);
CompoundFile readCompoundFile(ByteView file);

} // namespace lanqi::xls
