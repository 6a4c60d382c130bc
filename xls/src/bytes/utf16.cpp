#include "bytes/utf16.h"

#include <cstdint>

namespace lanqi::xls {

namespace {

constexpr std::uint32_t kHighSurrogate = 0xD800; // D800–DBFF: first of a pair
constexpr std::uint32_t kLowSurrogate = 0xDC00;  // DC00–DFFF: second of a pair
constexpr std::uint32_t kSurrogateEnd = 0xE000;
constexpr std::uint32_t kReplacement = 0xFFFD;

bool isHigh(std::uint32_t c) {
    return c >= kHighSurrogate && c < kLowSurrogate;
}
bool isLow(std::uint32_t c) {
    return c >= kLowSurrogate && c < kSurrogateEnd;
}

} // namespace

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t c = s[i];
        if (isHigh(c) && i + 1 < s.size() && isLow(s[i + 1])) {
            c = 0x10000 + ((c - kHighSurrogate) << 10) + (s[++i] - kLowSurrogate);
        } else if (isHigh(c) || isLow(c)) {
            c = kReplacement;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        std::uint32_t c = extra == 0   ? b
                          : extra == 1 ? (b & 0x1F)
                          : extra == 2 ? (b & 0x0F)
                                       : (b & 0x07);
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            unsigned char n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok || c > 0x10FFFF) {
            out.push_back(static_cast<char16_t>(kReplacement));
            ++i;
            continue;
        }
        i += 1 + static_cast<std::size_t>(extra);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(kHighSurrogate + (c >> 10)));
            out.push_back(static_cast<char16_t>(kLowSurrogate + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

} // namespace lanqi::xls
