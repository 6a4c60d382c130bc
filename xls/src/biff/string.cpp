#include "biff/string.h"

#include "biff/records.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

// A unicode string: character count (u8 or u16) | options u8 | [runs u16]
// [phonetic size u32] | characters | [runs, 4 bytes each] | [phonetic block].
constexpr std::uint8_t kHighByte = 0x01; // characters are UTF-16LE, else 8-bit (low bytes only)
constexpr std::uint8_t kPhonetic = 0x04; // a phonetic block follows the runs
constexpr std::uint8_t kRichText = 0x08; // formatting runs follow the characters
constexpr std::size_t kRunSize = 4;
// Offsets in a shared string's stored form, which has the 16-bit count.
constexpr std::size_t kStoredCount = 0, kStoredOptions = 2, kStoredRuns = 3, kStoredHeader = 3;
constexpr std::size_t kRunsCountSize = 2, kPhoneticSizeSize = 4;

bool needsHighByte(std::u16string_view chars) {
    return std::any_of(chars.begin(), chars.end(), [](char16_t c) { return c > 0xFF; });
}

// The characters in one width: UTF-16LE when `wide`, else their low bytes.
void putChars(Bytes& b, std::u16string_view chars, bool wide) {
    for (char16_t c : chars) {
        if (wide)
            putU16(b, c);
        else
            putU8(b, static_cast<std::uint8_t>(c));
    }
}

} // namespace

void ContinuedReader::settle() {
    while (part_ < parts_.size() && pos_ >= parts_[part_].size()) {
        ++part_;
        pos_ = 0;
    }
}

bool ContinuedReader::atEnd() const {
    for (std::size_t p = part_; p < parts_.size(); ++p)
        if ((p == part_ ? pos_ : 0) < parts_[p].size()) return false;
    return true;
}

std::uint8_t ContinuedReader::u8() {
    settle();
    if (part_ >= parts_.size()) throw damaged(where_ + "数据不完整");
    return parts_[part_][pos_++];
}

std::uint16_t ContinuedReader::u16() {
    std::uint16_t lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
}

std::uint32_t ContinuedReader::u32() {
    std::uint32_t lo = u16();
    return lo | (static_cast<std::uint32_t>(u16()) << 16);
}

void ContinuedReader::bytes(std::size_t n, Bytes* out) {
    while (n > 0) {
        settle();
        if (part_ >= parts_.size()) throw damaged(where_ + "数据不完整");
        std::size_t k = std::min(n, parts_[part_].size() - pos_);
        if (out) {
            ByteView piece = parts_[part_].subspan(pos_, k);
            out->insert(out->end(), piece.begin(), piece.end());
        }
        pos_ += k;
        n -= k;
    }
}

std::u16string ContinuedReader::chars(std::size_t cch, bool highByte) {
    std::u16string out;
    out.reserve(std::min<std::size_t>(cch, rec::kMaxPayload));
    while (out.size() < cch) {
        if (part_ < parts_.size() && pos_ >= parts_[part_].size()) {
            // A string split here: the next record restates the character width.
            ++part_;
            pos_ = 0;
            if (part_ >= parts_.size() || parts_[part_].empty())
                throw damaged(where_ + "数据不完整");
            highByte = (parts_[part_][pos_++] & kHighByte) != 0;
            continue;
        }
        if (part_ >= parts_.size()) throw damaged(where_ + "数据不完整");
        ByteView p = parts_[part_];
        if (highByte) {
            if (p.size() - pos_ < 2) throw damaged(where_ + "字符被记录边界截断");
            out.push_back(static_cast<char16_t>(getU16(p, pos_)));
            pos_ += 2;
        } else {
            out.push_back(p[pos_++]);
        }
    }
    return out;
}

std::string readUnicodeString(ContinuedReader& r, bool shortLength) {
    std::size_t cch = shortLength ? r.u8() : r.u16();
    std::uint8_t options = r.u8();
    return utf16ToUtf8(r.chars(cch, options & kHighByte));
}

std::string readStringPrefix(ByteView b) {
    if (b.size() < kStoredHeader) return {};
    const std::size_t unit = (b[kStoredOptions] & kHighByte) ? 2 : 1;
    const std::size_t cch =
        std::min<std::size_t>(getU16(b, kStoredCount), (b.size() - kStoredHeader) / unit);
    ContinuedReader r({b.subspan(kStoredHeader)}, "");
    return utf16ToUtf8(r.chars(cch, unit == 2));
}

bool SharedString::plain() const {
    return stored.size() > kStoredOptions &&
           (stored[kStoredOptions] & (kRichText | kPhonetic)) == 0;
}

SharedString readSharedString(ContinuedReader& r) {
    std::uint16_t cch = r.u16();
    std::uint8_t options = r.u8();
    std::uint16_t runs = (options & kRichText) ? r.u16() : 0;
    std::uint32_t phonetic = (options & kPhonetic) ? r.u32() : 0;
    std::u16string chars = r.chars(cch, options & kHighByte);
    // Stored again in one width: 8-bit if every character fits.
    bool wide = needsHighByte(chars);
    SharedString s;
    s.text = utf16ToUtf8(chars);
    Bytes& b = s.stored;
    putU16(b, cch);
    putU8(b,
          static_cast<std::uint8_t>((options & (kRichText | kPhonetic)) | (wide ? kHighByte : 0)));
    if (options & kRichText) putU16(b, runs);
    if (options & kPhonetic) putU32(b, phonetic);
    putChars(b, chars, wide);
    r.bytes(kRunSize * runs, &b);
    r.bytes(phonetic, &b);
    return s;
}

Bytes encodeUnicodeString(std::string_view utf8, bool shortLength) {
    std::u16string chars = utf8ToUtf16(utf8);
    std::size_t limit = shortLength ? 255 : 32767;
    if (chars.size() > limit) chars.resize(limit);
    bool wide = needsHighByte(chars);
    Bytes b;
    if (shortLength)
        putU8(b, static_cast<std::uint8_t>(chars.size()));
    else
        putU16(b, static_cast<std::uint16_t>(chars.size()));
    putU8(b, wide ? kHighByte : 0);
    putChars(b, chars, wide);
    return b;
}

SharedString makeSharedString(std::string_view utf8) {
    SharedString s;
    s.stored = encodeUnicodeString(utf8);
    ContinuedReader r({ByteView(s.stored)}, "");
    s.text = readUnicodeString(r);
    return s;
}

ContinuedWriter::ContinuedWriter(Bytes& out, std::uint16_t id) : out_(out), start_(out.size()) {
    putU16(out_, id);
    putU16(out_, 0);
}

void ContinuedWriter::put(ByteView b) {
    putBytes(out_, b);
}

void ContinuedWriter::nextRecord() {
    finish();
    start_ = out_.size();
    putU16(out_, rec::kContinue);
    putU16(out_, 0);
}

void ContinuedWriter::finish() {
    setU16(out_.data() + start_ + rec::kHeaderLength,
           static_cast<std::uint16_t>(out_.size() - start_ - rec::kHeaderSize));
}

std::pair<std::size_t, std::size_t> writeSharedString(ContinuedWriter& w, const SharedString& s) {
    ByteView b(s.stored);
    std::uint16_t cch = getU16(b, kStoredCount);
    std::uint8_t options = b[kStoredOptions];
    std::size_t header = kStoredHeader + ((options & kRichText) ? kRunsCountSize : 0) +
                         ((options & kPhonetic) ? kPhoneticSizeSize : 0);
    std::size_t unit = (options & kHighByte) ? 2 : 1;
    std::uint16_t runs = (options & kRichText) ? getU16(b, kStoredRuns) : 0;
    std::size_t charBytes = cch * unit;
    if (w.room() < header + std::min<std::size_t>(charBytes, unit)) w.nextRecord();
    std::pair<std::size_t, std::size_t> start{w.streamPos(), w.offsetInRecord()};
    w.put(b.subspan(0, header));
    std::size_t at = header;
    std::size_t end = header + charBytes;
    while (at < end) {
        if (w.room() < unit) {
            w.nextRecord();
            std::uint8_t width = options & kHighByte;
            w.put(ByteView(&width, 1));
        }
        std::size_t n = std::min(end - at, w.room() / unit * unit);
        w.put(b.subspan(at, n));
        at += n;
    }
    for (std::uint16_t i = 0; i < runs; ++i, at += kRunSize) {
        if (w.room() < kRunSize) w.nextRecord();
        w.put(b.subspan(at, kRunSize));
    }
    // The phonetic block starts a record of its own where it does not fit
    // whole: readers take its fields only from one record.
    if (at < b.size() && w.room() < b.size() - at && b.size() - at <= rec::kMaxPayload)
        w.nextRecord();
    while (at < b.size()) {
        if (w.room() == 0) w.nextRecord();
        std::size_t n = std::min(b.size() - at, w.room());
        w.put(b.subspan(at, n));
        at += n;
    }
    return start;
}

} // namespace lanqi::xls
