#pragma once
// Whether an encrypted workbook (FILEPASS) is encrypted with Excel's
// built-in password "VelvetSweatshop": Excel does this for a workbook that is
// only protected against changes, and opens it without asking for a password.
#include "bytes/byte_io.h"

namespace lanqi::xls {

// `filePass` is the FILEPASS record's payload. False for an encryption the
// engine does not know, and for one with any other password.
bool usesBuiltInPassword(ByteView filePass);

} // namespace lanqi::xls
