#include "biff/file_pass.h"

#include <array>
#include <string_view>

namespace lanqi::xls {
namespace {

constexpr std::u16string_view kBuiltInPassword = u"VelvetSweatshop";

// FILEPASS: wEncryptionType (2): 0 XOR obfuscation, 1 RC4.
// XOR: key (2), verificationBytes (2).
// RC4, version 1.1: salt (16), encrypted verifier (16), its encrypted MD5 (16).
// RC4 CryptoAPI, version 2..4.2: flags (4), header size (4), header (AlgID,
// KeySize in bits at 8 and 16 of it...), salt size (4), salt, encrypted
// verifier (16), hash size (4), encrypted SHA-1 of the verifier (20).
constexpr std::uint16_t kXor = 0, kRc4 = 1;
constexpr std::size_t kVerifier = 16;

Bytes utf16le(std::u16string_view s) {
    Bytes b;
    for (char16_t c : s) putU16(b, c);
    return b;
}

std::uint32_t rotl(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

std::array<std::uint8_t, 16> md5(ByteView data) {
    static constexpr std::uint32_t k[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
        0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
        0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
        0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
        0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
        0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
        0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
        0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
        0xeb86d391};
    static constexpr int s[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                  5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                  4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                  6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    Bytes m(data.begin(), data.end());
    std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 0; i < 8; ++i) m.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    std::uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (std::size_t off = 0; off < m.size(); off += 64) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = getU32(m, off + 4 * static_cast<std::size_t>(i));
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t f;
            int g;
            if (i < 16)
                f = (b & c) | (~b & d), g = i;
            else if (i < 32)
                f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
            else if (i < 48)
                f = b ^ c ^ d, g = (3 * i + 5) % 16;
            else
                f = c ^ (b | ~d), g = (7 * i) % 16;
            std::uint32_t t = d;
            d = c;
            c = b;
            b = b + rotl(a + f + k[i] + w[g], s[i]);
            a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
    }
    std::array<std::uint8_t, 16> out{};
    for (int i = 0; i < 16; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(h[i / 4] >> (8 * (i % 4)));
    return out;
}

std::array<std::uint8_t, 20> sha1(ByteView data) {
    Bytes m(data.begin(), data.end());
    std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 7; i >= 0; --i) m.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (std::size_t off = 0; off < m.size(); off += 64) {
        std::uint32_t w[80];
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = static_cast<std::uint32_t>(m[off + 4 * i]) << 24 |
                   static_cast<std::uint32_t>(m[off + 4 * i + 1]) << 16 |
                   static_cast<std::uint32_t>(m[off + 4 * i + 2]) << 8 | m[off + 4 * i + 3];
        for (std::size_t i = 16; i < 80; ++i)
            w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (std::size_t i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20)
                f = (b & c) | (~b & d), k = 0x5A827999;
            else if (i < 40)
                f = b ^ c ^ d, k = 0x6ED9EBA1;
            else if (i < 60)
                f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            else
                f = b ^ c ^ d, k = 0xCA62C1D6;
            std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = rotl(b, 30), b = a, a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    std::array<std::uint8_t, 20> out{};
    for (std::size_t i = 0; i < 20; ++i)
        out[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

// RC4 over `data` with `key`, from the start of the key stream.
Bytes rc4(ByteView key, ByteView data) {
    std::array<std::uint8_t, 256> S;
    for (std::size_t i = 0; i < 256; ++i) S[i] = static_cast<std::uint8_t>(i);
    std::size_t j = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        j = (j + S[i] + key[i % key.size()]) & 0xFF;
        std::swap(S[i], S[j]);
    }
    Bytes out;
    std::size_t i = 0;
    j = 0;
    for (std::uint8_t b : data) {
        i = (i + 1) & 0xFF;
        j = (j + S[i]) & 0xFF;
        std::swap(S[i], S[j]);
        out.push_back(static_cast<std::uint8_t>(b ^ S[(S[i] + S[j]) & 0xFF]));
    }
    return out;
}

// The 16-bit verifier of XOR obfuscation (method 1 of the password hash).
std::uint16_t xorVerifier(std::u16string_view password) {
    std::uint16_t v = 0;
    for (std::size_t i = password.size(); i-- > 0;) {
        std::uint8_t c = static_cast<std::uint8_t>(password[i]);
        v = static_cast<std::uint16_t>((((v >> 14) & 1) | ((v << 1) & 0x7FFF)) ^ c);
    }
    v = static_cast<std::uint16_t>((((v >> 14) & 1) | ((v << 1) & 0x7FFF)) ^ password.size() ^
                                   0xCE4B);
    return v;
}

bool rc4Standard(ByteView p) {
    if (p.size() < 6 + 3 * kVerifier) return false;
    ByteView salt = p.subspan(6, 16);
    auto h0 = md5(utf16le(kBuiltInPassword));
    Bytes buffer;
    for (int i = 0; i < 16; ++i) {
        buffer.insert(buffer.end(), h0.begin(), h0.begin() + 5);
        buffer.insert(buffer.end(), salt.begin(), salt.end());
    }
    auto h1 = md5(buffer);
    Bytes blockKey(h1.begin(), h1.begin() + 5);
    putU32(blockKey, 0);
    auto key = md5(blockKey);
    Bytes plain = rc4(key, p.subspan(6 + kVerifier, 2 * kVerifier));
    auto hash = md5(ByteView(plain).first(kVerifier));
    return std::equal(hash.begin(), hash.end(), plain.begin() + kVerifier);
}

bool rc4CryptoApi(ByteView p) {
    // After type (2), version (4), flags (4): header size, header, verifier.
    if (p.size() < 14) return false;
    std::size_t headerSize = getU32(p, 10);
    std::size_t at = 14 + headerSize;
    if (headerSize < 20 || p.size() < at + 4 + 16 + 16 + 4 + 20) return false;
    std::uint32_t keyBits = getU32(p, 14 + 16);
    if (keyBits == 0) keyBits = 40;
    if (keyBits % 8 != 0 || keyBits > 128 || getU32(p, at) != 16) return false;
    ByteView salt = p.subspan(at + 4, 16);
    Bytes salted(salt.begin(), salt.end());
    Bytes pw = utf16le(kBuiltInPassword);
    salted.insert(salted.end(), pw.begin(), pw.end());
    auto h0 = sha1(salted);
    Bytes blockKey(h0.begin(), h0.end());
    putU32(blockKey, 0);
    auto h1 = sha1(blockKey);
    Bytes key(h1.begin(), h1.begin() + keyBits / 8);
    if (keyBits == 40) key.resize(16, 0); // a 40-bit key is used as 128 bits
    Bytes encrypted(p.begin() + static_cast<std::ptrdiff_t>(at + 20),
                    p.begin() + static_cast<std::ptrdiff_t>(at + 36));
    ByteView hashPart = p.subspan(at + 40, 20);
    encrypted.insert(encrypted.end(), hashPart.begin(), hashPart.end());
    Bytes plain = rc4(key, encrypted);
    auto hash = sha1(ByteView(plain).first(16));
    return std::equal(hash.begin(), hash.end(), plain.begin() + 16);
}

} // namespace

bool usesBuiltInPassword(ByteView p) {
    if (p.size() < 6) return false;
    std::uint16_t type = getU16(p, 0);
    if (type == kXor) return getU16(p, 4) == xorVerifier(kBuiltInPassword);
    if (type != kRc4) return false;
    std::uint16_t major = getU16(p, 2);
    return major == 1 ? rc4Standard(p) : rc4CryptoApi(p);
}

} // namespace lanqi::xls
