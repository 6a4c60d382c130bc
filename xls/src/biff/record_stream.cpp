#include "biff/record_stream.h"

#include "biff/records.h"

#include <algorithm>

namespace lanqi::xls {

std::vector<RecordRef> splitRecords(ByteView stream) {
    std::vector<RecordRef> out;
    // The zero padding is found once: zeros before other bytes are records
    // of id 0, read one by one like any other.
    const auto lastByte = std::find_if(stream.rbegin(), stream.rend(), [](std::uint8_t b) { return b != 0; });
    const auto end = static_cast<std::size_t>(stream.rend() - lastByte);
    std::size_t at = 0;
    while (at < end) {
        if (stream.size() - at < rec::kHeaderSize)
            throw damaged("工作簿流在偏移 " + std::to_string(at) + " 处的记录头不完整");
        std::uint16_t id = getU16(stream, at + rec::kHeaderId);
        std::size_t len = getU16(stream, at + rec::kHeaderLength);
        if (stream.size() - at - rec::kHeaderSize < len)
            throw damaged("工作簿流在偏移 " + std::to_string(at) + " 处的记录超出流末尾");
        out.push_back({id, at, stream.subspan(at + rec::kHeaderSize, len)});
        at += rec::kHeaderSize + len;
    }
    return out;
}

void putRecord(Bytes& out, std::uint16_t id, ByteView data) {
    putU16(out, id);
    putU16(out, static_cast<std::uint16_t>(data.size()));
    putBytes(out, data);
}

} // namespace lanqi::xls
