#pragma once
// RK numbers, the compact numbers of RK and MULRK records:
//   bit 0: the value is 100 times too large; bit 1: a 30-bit signed integer
//   in bits 2–31, else the upper 30 bits of an IEEE double (lower 34 zero).
#include <cstdint>
#include <cstring>

namespace lanqi::xls {

inline double decodeRk(std::uint32_t rk) {
    constexpr std::uint32_t kTimes100 = 0x1, kInteger = 0x2, kValueBits = 0xFFFFFFFC;
    double v;
    if (rk & kInteger) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & kValueBits) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & kTimes100) ? v / 100 : v;
}

} // namespace lanqi::xls
