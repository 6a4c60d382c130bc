#include "crypt/primitives.h"

#include <lanqi/xls/error.h>

#include <gcrypt.h>

#include <memory>
#include <random>
#include <string>

namespace lanqi::xls {
namespace {

Error libraryError(const char* what, gcry_error_t e) {
    return Error(ErrorKind::Encrypted, std::string("加密库无法") + what + "（" + gcry_strerror(e) +
                                           "），不能读写加密的工作簿");
}

// The library is set up once, before its first use.
void ready() {
    static const bool done = [] {
        if (!gcry_check_version(GCRYPT_VERSION))
            throw Error(ErrorKind::Encrypted, "加密库 libgcrypt 的版本太旧，不能读写加密的工作簿");
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0); // nothing here is secret
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)done;
}

template <std::size_t N> std::array<std::uint8_t, N> digest(int algorithm, ByteView data) {
    ready();
    if (gcry_md_get_algo_dlen(algorithm) != N)
        throw libraryError("计算摘要", gcry_error(GPG_ERR_DIGEST_ALGO));
    std::array<std::uint8_t, N> out{};
    gcry_md_hash_buffer(algorithm, out.data(), data.data(), data.size());
    return out;
}

} // namespace

std::array<std::uint8_t, 16> md5(ByteView data) {
    return digest<16>(GCRY_MD_MD5, data);
}

std::array<std::uint8_t, 20> sha1(ByteView data) {
    return digest<20>(GCRY_MD_SHA1, data);
}

Bytes rc4KeyStream(ByteView key, std::size_t length) {
    ready();
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_error_t e = gcry_cipher_open(&handle, GCRY_CIPHER_ARCFOUR, GCRY_CIPHER_MODE_STREAM, 0))
        throw libraryError("使用 RC4", e);
    std::unique_ptr<gcry_cipher_handle, decltype(&gcry_cipher_close)> closing(handle,
                                                                              gcry_cipher_close);
    if (gcry_error_t e = gcry_cipher_setkey(handle, key.data(), key.size()))
        throw libraryError("设置 RC4 密钥", e);
    Bytes stream(length, 0); // zeros encrypted are the key stream itself
    if (gcry_error_t e = gcry_cipher_encrypt(handle, stream.data(), stream.size(), nullptr, 0))
        throw libraryError("使用 RC4", e);
    return stream;
}

// From the system's source (getrandom, RtlGenRandom): libgcrypt's own
// generator gathers entropy for seconds on Windows before its first bytes.
Bytes randomBytes(std::size_t length) {
    Bytes out(length);
    try {
        std::random_device source;
        std::uniform_int_distribution<int> byte(0, 255);
        for (std::uint8_t& b : out) b = static_cast<std::uint8_t>(byte(source));
    } catch (const std::exception& e) {
        throw Error(ErrorKind::Encrypted,
                    std::string("系统无法提供随机数（") + e.what() + "），不能保存加密的工作簿");
    }
    return out;
}

} // namespace lanqi::xls
