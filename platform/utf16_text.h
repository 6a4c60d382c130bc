#pragma once
// UTF-8, the program's text, to and from UTF-16, the text of the wide
// Windows calls and of window toolkits. Pure code, the same on every system.
// A byte that does not start a valid UTF-8 sequence becomes U+FFFD; so does
// an unpaired surrogate going the other way.
#include <cstddef>
#include <string>
#include <string_view>

namespace lanqi::platform {

std::u16string utf16(std::string_view utf8);
std::string utf8(std::u16string_view utf16);

// UTF-16 units of the character whose UTF-8 form starts with the byte
// `lead`: 2 beyond the basic plane, 0 for a byte inside a character, else 1.
constexpr std::size_t utf16UnitsOfLead(unsigned char lead) {
    if ((lead & 0xC0) == 0x80) return 0;
    return lead >= 0xF0 ? 2 : 1;
}

// UTF-16 units of `utf8`'s characters.
std::size_t utf16Length(std::string_view utf8);
// The byte offset in `utf8` of the character that starts at UTF-16 unit
// `unit`; the text's size for a unit at or beyond its end. A unit inside a
// surrogate pair counts as the pair's start.
std::size_t byteOffsetOfUnit(std::string_view utf8, std::size_t unit);

} // namespace lanqi::platform
