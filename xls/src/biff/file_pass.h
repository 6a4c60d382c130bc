#pragma once
// The key of a workbook that Excel encrypted (FILEPASS) with its built-in
// password "VelvetSweatshop": it does so for a workbook that is only
// protected against changes, and opens it without asking for a password.
// RC4 and RC4 CryptoAPI; each 1024-byte block of the workbook stream has a
// key of its own, derived from the password, the salt and the block number.
#include "bytes/byte_io.h"

#include <optional>

namespace lanqi::xls {

class WorkbookKey {
  public:
    static constexpr std::size_t kBlockSize = 1024;

    // `filePass` is the FILEPASS record's payload. Nullopt for any other
    // password, for XOR obfuscation, and for a method the engine does not know.
    static std::optional<WorkbookKey> builtIn(ByteView filePass);

    // The same method and password with a new salt and verifier.
    WorkbookKey renewed() const;
    // The FILEPASS payload that describes this key; a renewed key's has the
    // size of the one read.
    const Bytes& filePass() const { return filePass_; }
    // The RC4 key stream for one block of the workbook stream, kBlockSize bytes.
    Bytes blockKeyStream(std::uint32_t block) const;

  private:
    enum class Method { Rc4, CryptoApi };
    WorkbookKey() = default;
    void derive(); // the password's hash with the salt, from which block keys come
    bool passwordMatches() const;
    ByteView part(std::size_t at, std::size_t size) const;

    Method method_ = Method::Rc4;
    Bytes filePass_;
    std::size_t salt_ = 0, verifier_ = 0, verifierHash_ = 0; // offsets in filePass_
    std::size_t hashSize_ = 0;                               // of the verifier's hash
    std::size_t keySize_ = 0;                                // bytes of an RC4 CryptoAPI key
    Bytes base_;
};

// Whether FILEPASS is XOR obfuscation with the built-in password: protected
// against changes too, but by a method the engine does not decrypt.
bool xorWithBuiltInPassword(ByteView filePass);

} // namespace lanqi::xls
