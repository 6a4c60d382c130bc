#include "book/sst_writer.h"

#include "biff/record_stream.h"
#include "biff/records.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

// At most 128 buckets of at least 8 strings; the stored bucket size stays
// while it meets both.
constexpr std::size_t kMaxBuckets = 128, kMinPerBucket = 8;

} // namespace

void writeSst(Bytes& out, const WorkbookStream& wb, const StringRenumbering& strings) {
    const std::size_t n = strings.kept.size();
    std::size_t perBucket = std::max(kMinPerBucket, (n + kMaxBuckets - 1) / kMaxBuckets);
    if (wb.stringsPerBucket() >= perBucket) perBucket = wb.stringsPerBucket();
    Bytes ext;
    putU16(ext, static_cast<std::uint16_t>(perBucket));
    ContinuedWriter w(out, rec::kSst);
    Bytes counts;
    putU32(counts, strings.references);
    putU32(counts, static_cast<std::uint32_t>(n));
    w.put(counts);
    for (std::size_t i = 0; i < n; ++i) {
        auto [pos, inRecord] = writeSharedString(w, wb.strings()[strings.kept[i]]);
        if (i % perBucket == 0) {
            putU32(ext, static_cast<std::uint32_t>(pos));
            putU16(ext, static_cast<std::uint16_t>(inRecord));
            putU16(ext, 0);
        }
    }
    w.finish();
    putRecord(out, rec::kExtSst, ext);
}

} // namespace lanqi::xls
