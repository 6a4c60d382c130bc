#pragma once
// The workbook stream of an encrypted workbook. Record headers stay in the
// clear, and so do the payloads of FILEPASS and the records before it, and
// of those a reader needs before it has the key (see kInTheClear), and the
// sheet positions of BOUNDSHEET. Every other payload byte at stream offset n
// is XORed with byte n % 1024 of the key stream of block n / 1024: RC4 is
// its own inverse, so the same pass encrypts and decrypts.
#include "biff/file_pass.h"

#include <optional>

namespace lanqi::xls {

// Decrypts the stream in place when FILEPASS says Excel's built-in
// password and returns its key; nullopt, the stream untouched, when there is
// no FILEPASS. Any other encryption throws Error (Encrypted).
std::optional<WorkbookKey> decryptWorkbookStream(Bytes& stream);

// Encrypts a stream written in the clear with `key`, its FILEPASS set to the
// key's. Throws Error (Damaged) when the stream has no FILEPASS of that size.
void encryptWorkbookStream(Bytes& stream, const WorkbookKey& key);

} // namespace lanqi::xls
