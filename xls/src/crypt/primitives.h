#pragma once
// MD5, SHA-1 and RC4 as libgcrypt provides them, and unpredictable bytes. A
// failure of the library (one built without RC4 or MD5, say) throws Error
// (Encrypted): an encrypted workbook cannot then be read or saved.
#include "bytes/byte_io.h"

#include <array>

namespace lanqi::xls {

std::array<std::uint8_t, 16> md5(ByteView data);
std::array<std::uint8_t, 20> sha1(ByteView data);
// The first `length` bytes of the RC4 key stream of `key`.
Bytes rc4KeyStream(ByteView key, std::size_t length);
// Bytes no one can guess beforehand, for salts.
Bytes randomBytes(std::size_t length);

} // namespace lanqi::xls
