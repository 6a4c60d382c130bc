#pragma once
// A BIFF stream as a sequence of records: id, length, payload.
#include "bytes/byte_io.h"

#include <vector>

namespace lanqi::xls {

struct RecordRef {
    std::uint16_t id;
    std::size_t offset; // of the record header in the stream
    ByteView data;
};

// Splits the whole stream; a record that runs past the end is damage. Zero
// padding after the last record ends the list without error.
std::vector<RecordRef> splitRecords(ByteView stream);

// Appends one record: id u16 | payload size u16 | payload.
void putRecord(Bytes& out, std::uint16_t id, ByteView data);

} // namespace lanqi::xls
