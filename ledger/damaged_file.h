#pragma once
// A ledger file that cannot be used as it is: found before SQLite reads it
// (a file cut short), and moved aside with the time in its name so that a
// new ledger can begin and nothing of the old one is lost.
#include <filesystem>

namespace lanqi::ledger {

// True when the file's own header says it is longer than it is. A file with
// a write-ahead log beside it may be longer in the log, and is not judged.
bool cutShort(const std::filesystem::path& file);

// Moves the file (and its log) to "账单记录.损坏-yyyyMMdd-HHmmss.db" beside
// it, a number added when that name is taken; returns the new name.
// Throws LedgerError (NotWritable) when it cannot be moved.
std::filesystem::path moveAside(const std::filesystem::path& file);

} // namespace lanqi::ledger
