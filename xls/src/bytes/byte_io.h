#pragma once
// Little-endian reading and writing over byte buffers. Every read is checked
// against the buffer's end; a read past it is a damaged file.
#include <lanqi/xls/error.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace lanqi::xls {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline std::uint16_t getU16(ByteView b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t getU32(ByteView b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::uint64_t getU64(ByteView b, std::size_t at) {
    return getU32(b, at) | (static_cast<std::uint64_t>(getU32(b, at + 4)) << 32);
}
inline double getF64(ByteView b, std::size_t at) {
    std::uint64_t bits = getU64(b, at);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline void setU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void setU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void setF64(std::uint8_t* p, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof d);
    setU32(p, static_cast<std::uint32_t>(bits));
    setU32(p + 4, static_cast<std::uint32_t>(bits >> 32));
}

inline void putU8(Bytes& out, std::uint8_t v) {
    out.push_back(v);
}
inline void putU16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void putU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void putF64(Bytes& out, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof d);
    putU32(out, static_cast<std::uint32_t>(bits));
    putU32(out, static_cast<std::uint32_t>(bits >> 32));
}
inline void putBytes(Bytes& out, ByteView b) {
    out.insert(out.end(), b.begin(), b.end());
}

// Sequential reader over one buffer; `where` names the structure for errors.
class ByteReader {
  public:
    ByteReader(ByteView data, std::string where) : data_(data), where_(std::move(where)) {}
    std::size_t pos() const { return pos_; }
    std::size_t left() const { return data_.size() - pos_; }
    void need(std::size_t n) const {
        if (n > left()) throw damaged(where_ + "数据不完整");
    }
    std::uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        pos_ += 2;
        return getU16(data_, pos_ - 2);
    }
    std::uint32_t u32() {
        need(4);
        pos_ += 4;
        return getU32(data_, pos_ - 4);
    }
    double f64() {
        need(8);
        pos_ += 8;
        return getF64(data_, pos_ - 8);
    }
    ByteView take(std::size_t n) {
        need(n);
        pos_ += n;
        return data_.subspan(pos_ - n, n);
    }
    void skip(std::size_t n) { take(n); }

  private:
    ByteView data_;
    std::string where_;
    std::size_t pos_ = 0;
};

} // namespace lanqi::xls
