#pragma once
// BIFF8 strings: decoding the unicode string forms (8-bit "compressed" or
// UTF-16 characters, optional rich-text runs and phonetic block), also when a
// string runs on into CONTINUE records, and encoding them again.
#include "biff/records.h"
#include "bytes/byte_io.h"
#include "bytes/utf16.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lanqi::xls {

// Reads over a record and the CONTINUE records after it as one sequence. At
// a record boundary inside a string's characters, the next record starts
// with a fresh option byte that says how the rest of the characters are stored.
class ContinuedReader {
  public:
    ContinuedReader(std::vector<ByteView> parts, std::string where)
        : parts_(std::move(parts)), where_(std::move(where)) {}
    bool atEnd() const;
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void bytes(std::size_t n, Bytes* out); // out may be null to skip
    // cch characters; `highByte`: UTF-16 rather than 8-bit characters at the start.
    std::u16string chars(std::size_t cch, bool highByte);
    const std::string& where() const { return where_; }

  private:
    void settle(); // steps over exhausted parts
    std::vector<ByteView> parts_;
    std::string where_;
    std::size_t part_ = 0, pos_ = 0;
};

// A string of the shared string table: its text, and its stored form as one
// piece (header, characters, runs, phonetic block), written back unchanged.
struct SharedString {
    std::string text;
    Bytes stored;
    // Without formatting runs or a phonetic block: only such a string may
    // be given to a newly written cell of the same text.
    bool plain() const;
};

// Short (8-bit length) or long (16-bit length) unicode string, no runs.
std::string readUnicodeString(ContinuedReader& r, bool shortLength = false);
// A long unicode string that is the rest of one record, as far as the record
// holds it: a string whose count claims more characters than are there
// reads as those that are.
std::string readStringPrefix(ByteView b);
// The rich form used in the shared string table.
SharedString readSharedString(ContinuedReader& r);

// Encodings: 8-bit characters when every character fits, UTF-16 otherwise.
Bytes encodeUnicodeString(std::string_view utf8, bool shortLength = false);
SharedString makeSharedString(std::string_view utf8);

// Builds a record that may run on into CONTINUE records of at most
// rec::kMaxPayload bytes each, appending to a stream buffer.
class ContinuedWriter {
  public:
    ContinuedWriter(Bytes& out, std::uint16_t id);
    std::size_t room() const {
        return rec::kMaxPayload - (out_.size() - start_ - rec::kHeaderSize);
    }
    void put(ByteView b); // caller has checked room()
    void nextRecord();    // closes the current record and opens a CONTINUE
    void finish();
    std::size_t streamPos() const { return out_.size(); }
    std::size_t offsetInRecord() const { return out_.size() - start_; }

  private:
    Bytes& out_;
    std::size_t start_;
};

// Appends one shared string, splitting it over CONTINUE records where
// needed: the header stays whole, characters split with a repeated option
// byte, runs stay whole. Returns where the string starts: its stream position
// and its offset in the record that holds its header.
std::pair<std::size_t, std::size_t> writeSharedString(ContinuedWriter& w, const SharedString& s);

} // namespace lanqi::xls
