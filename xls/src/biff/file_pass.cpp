#include "biff/file_pass.h"

#include "crypt/primitives.h"

#include <algorithm>
#include <string_view>

namespace lanqi::xls {
namespace {

constexpr std::u16string_view kBuiltInPassword = u"VelvetSweatshop";

// FILEPASS: wEncryptionType u16: 0 XOR obfuscation, 1 RC4 | ...
//   XOR            key u16 | verifier u16
//   RC4            version 1.1 (u16 u16) | salt (16) | encrypted verifier (16) |
//                  its encrypted MD5 (16)
//   RC4 CryptoAPI  version 2..4.2 (u16 u16) | flags u32 | header size u32 |
//                  header: flags u32, size extra u32, AlgID u32, AlgIDHash u32,
//                  key size in bits u32 (0: 40), provider u32, u32, u32, CSP name |
//                  salt size u32 (16) | salt | encrypted verifier (16) |
//                  hash size u32 (20) | encrypted SHA-1 of the verifier
// The verifier and its hash are encrypted with block 0's key, in one run.
constexpr std::size_t kType = 0, kMajor = 2, kXorVerifier = 4;
constexpr std::uint16_t kXor = 0, kRc4 = 1, kRc4Standard = 1;
constexpr std::size_t kSaltSize = 16, kVerifierSize = 16;
constexpr std::size_t kRc4Salt = 6, kRc4Verifier = 22, kRc4VerifierHash = 38, kRc4Size = 54;
constexpr std::size_t kApiHeaderSize = 10, kApiHeader = 14;
constexpr std::size_t kApiHeaderAlg = 8, kApiHeaderAlgHash = 12, kApiHeaderKeyBits = 16;
constexpr std::size_t kApiHeaderMin = 32;
constexpr std::size_t kApiSaltSize = 0, kApiSalt = 4, kApiVerifier = 20, kApiHashSize = 36,
                      kApiVerifierHash = 40;
constexpr std::uint32_t kAlgRc4 = 0x6801, kAlgSha1 = 0x8004;
constexpr std::size_t kSha1Size = 20, kMd5Size = 16;
constexpr std::size_t kRc4KeyBase = 5, kApiShortKey = 5, kApiPaddedKey = 16;
constexpr int kRc4SaltRounds = 16;

Bytes utf16le(std::u16string_view s) {
    Bytes b;
    for (char16_t c : s) putU16(b, c);
    return b;
}

template <std::size_t N> Bytes bytesOf(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
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

} // namespace

bool xorWithBuiltInPassword(ByteView p) {
    return p.size() >= kXorVerifier + 2 && getU16(p, kType) == kXor &&
           getU16(p, kXorVerifier) == xorVerifier(kBuiltInPassword);
}

std::optional<WorkbookKey> WorkbookKey::builtIn(ByteView p) {
    if (p.size() < kMajor + 2 || getU16(p, kType) != kRc4) return std::nullopt;
    WorkbookKey key;
    key.filePass_.assign(p.begin(), p.end());
    if (getU16(p, kMajor) == kRc4Standard) {
        if (p.size() < kRc4Size) return std::nullopt;
        key.method_ = Method::Rc4;
        key.salt_ = kRc4Salt;
        key.verifier_ = kRc4Verifier;
        key.verifierHash_ = kRc4VerifierHash;
        key.hashSize_ = kMd5Size;
    } else {
        if (p.size() < kApiHeader) return std::nullopt;
        const std::size_t headerSize = getU32(p, kApiHeaderSize);
        if (headerSize < kApiHeaderMin || headerSize > p.size()) return std::nullopt;
        const std::size_t v = kApiHeader + headerSize; // the verifier's fields
        if (p.size() < v + kApiVerifierHash + kSha1Size) return std::nullopt;
        const std::uint32_t alg = getU32(p, kApiHeader + kApiHeaderAlg);
        const std::uint32_t algHash = getU32(p, kApiHeader + kApiHeaderAlgHash);
        std::uint32_t keyBits = getU32(p, kApiHeader + kApiHeaderKeyBits);
        if (keyBits == 0) keyBits = 40;
        if ((alg != 0 && alg != kAlgRc4) || (algHash != 0 && algHash != kAlgSha1) || keyBits < 40 ||
            keyBits > 128 || keyBits % 8 != 0 || getU32(p, v + kApiSaltSize) != kSaltSize ||
            getU32(p, v + kApiHashSize) != kSha1Size)
            return std::nullopt;
        key.method_ = Method::CryptoApi;
        key.salt_ = v + kApiSalt;
        key.verifier_ = v + kApiVerifier;
        key.verifierHash_ = v + kApiVerifierHash;
        key.hashSize_ = kSha1Size;
        key.keySize_ = keyBits / 8;
    }
    key.derive();
    if (!key.passwordMatches()) return std::nullopt;
    return key;
}

ByteView WorkbookKey::part(std::size_t at, std::size_t size) const {
    return ByteView(filePass_).subspan(at, size);
}

void WorkbookKey::derive() {
    const Bytes password = utf16le(kBuiltInPassword);
    const ByteView salt = part(salt_, kSaltSize);
    if (method_ == Method::Rc4) {
        // MD5 of the password cut to 5 bytes, with the salt, 16 times over.
        const auto h0 = md5(password);
        Bytes rounds;
        for (int i = 0; i < kRc4SaltRounds; ++i) {
            rounds.insert(rounds.end(), h0.begin(), h0.begin() + kRc4KeyBase);
            rounds.insert(rounds.end(), salt.begin(), salt.end());
        }
        const auto h1 = md5(rounds);
        base_.assign(h1.begin(), h1.begin() + kRc4KeyBase);
    } else {
        Bytes salted(salt.begin(), salt.end());
        salted.insert(salted.end(), password.begin(), password.end());
        base_ = bytesOf(sha1(salted));
    }
}

Bytes WorkbookKey::blockKeyStream(std::uint32_t block) const {
    Bytes input = base_;
    putU32(input, block);
    Bytes key;
    if (method_ == Method::Rc4) {
        key = bytesOf(md5(input));
    } else {
        const auto h = sha1(input);
        key.assign(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(keySize_));
        if (keySize_ == kApiShortKey) key.resize(kApiPaddedKey, 0); // 40 bits used as 128
    }
    return rc4KeyStream(key, kBlockSize);
}

// The verifier and its hash, decrypted, agree.
bool WorkbookKey::passwordMatches() const {
    const Bytes stream = blockKeyStream(0);
    Bytes plain;
    for (std::size_t i = 0; i < kVerifierSize; ++i)
        plain.push_back(static_cast<std::uint8_t>(filePass_[verifier_ + i] ^ stream[i]));
    for (std::size_t i = 0; i < hashSize_; ++i)
        plain.push_back(
            static_cast<std::uint8_t>(filePass_[verifierHash_ + i] ^ stream[kVerifierSize + i]));
    const ByteView verifier = ByteView(plain).first(kVerifierSize);
    const Bytes hash = method_ == Method::Rc4 ? bytesOf(md5(verifier)) : bytesOf(sha1(verifier));
    return std::equal(hash.begin(), hash.end(), plain.begin() + kVerifierSize);
}

WorkbookKey WorkbookKey::renewed() const {
    WorkbookKey key = *this;
    const Bytes salt = randomBytes(kSaltSize), verifier = randomBytes(kVerifierSize);
    std::copy(salt.begin(), salt.end(), key.filePass_.begin() + static_cast<std::ptrdiff_t>(salt_));
    key.derive();
    const Bytes hash = method_ == Method::Rc4 ? bytesOf(md5(verifier)) : bytesOf(sha1(verifier));
    const Bytes stream = key.blockKeyStream(0);
    for (std::size_t i = 0; i < kVerifierSize; ++i)
        key.filePass_[verifier_ + i] = static_cast<std::uint8_t>(verifier[i] ^ stream[i]);
    for (std::size_t i = 0; i < hashSize_; ++i)
        key.filePass_[verifierHash_ + i] =
            static_cast<std::uint8_t>(hash[i] ^ stream[kVerifierSize + i]);
    return key;
}

} // namespace lanqi::xls
